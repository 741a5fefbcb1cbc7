// The effect instances that process one audio file: a single instance when the module's
// inputs and outputs equal the file's channel count, otherwise one instance of a
// one-in, one-out module per channel.
#pragma once

#include "vst_plugin.h"

#include <memory>
#include <string>
#include <vector>

namespace kavet::cli {

struct ParamSetting {
    int index;
    float normalised;
};

class EffectRack {
public:
    // Creates and opens the instances. Throws HostError when the module's channel counts
    // fit neither way.
    EffectRack(const std::shared_ptr<const host::VstModule>& module, int channels);

    // Checks that every setting names a parameter of that name and that 64-bit processing
    // is available when asked for, then sets each instance up while suspended (sample rate,
    // block size, parameters) and resumes it: parameters set before resume apply from the
    // first sample.
    void start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
               bool useDouble);

    // Processes `frames` (at most the block size) of every channel, starting at `offset`
    // in the per-channel buffers.
    void process(std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                 std::size_t offset, int frames);
    void process(std::vector<std::vector<double>>& in, std::vector<std::vector<double>>& out,
                 std::size_t offset, int frames);

    host::VstPlugin& first() { return *instances_.front(); }
    std::size_t size() const { return instances_.size(); }
    int channelsPerInstance() const { return width_; }

private:
    template <typename Sample>
    void run(std::vector<std::vector<Sample>>& in, std::vector<std::vector<Sample>>& out,
             std::size_t offset, int frames);
    void checkSettings(const std::vector<ParamSetting>& settings, bool useDouble);

    std::vector<std::unique_ptr<host::VstPlugin>> instances_;
    int width_ = 1; // channels per instance
};

} // namespace kavet::cli
