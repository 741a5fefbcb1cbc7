// A VST 3 module's audio processor driven as a host drives it for playback: the module
// loaded with dlopen (ModuleEntry, GetPluginFactory), one processor class created and
// initialised without a host context, set up for 32-bit samples, given a component state,
// activated and processing; blocks without parameter changes. [one thread]
#pragma once

#include "vst3/all.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kavet::bench {

class Vst3Processor {
public:
    // The module at `path` (its shared object inside the bundle), the factory's class
    // `classIndex` (an audio effect), `channels` in and out, at `rate` Hz and blocks of at
    // most `maxFrames`, starting from `state`. Throws host::HostError on any refusal.
    Vst3Processor(const std::string& path, int classIndex, int channels, double rate, int maxFrames,
                  const std::vector<std::uint8_t>& state);
    ~Vst3Processor(); // stops processing, deactivates, terminates, unloads

    Vst3Processor(const Vst3Processor&) = delete;
    Vst3Processor& operator=(const Vst3Processor&) = delete;

    // One block of `frames` (at most maxFrames) from `in` to `out`, one buffer per channel.
    // Throws host::HostError when process() does not answer kResultOk.
    void process(float** in, float** out, int frames);

private:
    void load(const std::string& path);
    void create(int classIndex);
    void start(double rate, int maxFrames, const std::vector<std::uint8_t>& state);
    void close(); // undoes whatever of the above was done

    void* handle_ = nullptr;
    vst3::IPluginFactory* factory_ = nullptr;
    vst3::IComponent* component_ = nullptr;
    vst3::IAudioProcessor* processor_ = nullptr;
    bool active_ = false, processing_ = false;
    vst3::AudioBusBuffers input_{}, output_{};
    vst3::ProcessData data_{};
};

} // namespace kavet::bench
