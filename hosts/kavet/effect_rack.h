// The effect instances that process one audio file: a single instance when the module's
// inputs and outputs equal the file's channel count, otherwise one instance of a
// one-in, one-out module per channel. The module may be of any format (processor.h).
#pragma once

#include "processor.h"

#include <memory>
#include <string>
#include <vector>

namespace kavet::cli {

class EffectRack {
public:
    // Creates the instances. Throws HostError when the module's channel counts fit
    // neither way.
    EffectRack(ProcessorModule& module, int channels);

    // Checks that every setting names a parameter of that name and that 64-bit processing
    // is available when asked for, then starts each instance with the rate, block size and
    // settings, which apply from the first sample.
    void start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
               bool useDouble);

    // Processes `frames` (at most the block size) of every channel, starting at `offset`
    // in the per-channel buffers.
    void process(std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                 std::size_t offset, int frames);
    void process(std::vector<std::vector<double>>& in, std::vector<std::vector<double>>& out,
                 std::size_t offset, int frames);
    // After processing: throws HostError with the first instance's fault (Processor::fault).
    void checkFaults() const;

    Processor& first() { return *instances_.front(); }
    std::size_t size() const { return instances_.size(); }
    int channelsPerInstance() const { return width_; }

private:
    template <typename Sample>
    void run(std::vector<std::vector<Sample>>& in, std::vector<std::vector<Sample>>& out,
             std::size_t offset, int frames);
    void checkSettings(const std::vector<ParamSetting>& settings, bool useDouble);

    const std::string path_;
    std::vector<std::unique_ptr<Processor>> instances_;
    int width_ = 1; // channels per instance
};

} // namespace kavet::cli
