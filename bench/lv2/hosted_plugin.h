// One LV2 plug-in instance of a LilvHost, every port connected: the audio inputs to the
// host's signal (input i to channel i modulo the signal's channels), the audio outputs and
// CV ports to buffers of their own, control inputs at their defaults, control outputs to
// scratch words, atom inputs to an empty sequence and atom outputs to a buffer whose
// capacity is given back before each block. Activated on creation, deactivated on
// destruction.
#pragma once

#include "lilv_host.h"

#include <lv2/atom/atom.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kavet::bench {

class HostedPlugin {
public:
    // Throws std::runtime_error with the reason when the plug-in cannot be run here (a
    // port of a kind this host does not connect, a failed instantiation).
    HostedPlugin(LilvHost& host, const LilvPlugin* plugin, const std::vector<const float*>& signal);
    ~HostedPlugin();

    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    // [audio] One block of at most the host's maxFrames.
    void run(int frames);

    int audioOutputs() const { return static_cast<int>(audioOut_.size()); }
    const float* audioOutput(int index) const { return audioOut_[index]; }

private:
    // An atom port's buffer: 8-byte aligned, as atoms are.
    struct AtomBuffer {
        std::vector<std::uint64_t> words;
        LV2_Atom* atom() { return reinterpret_cast<LV2_Atom*>(words.data()); }
    };
    static constexpr std::size_t kAtomCapacity = 8192; // bytes

    void connect(LilvHost& host, const LilvPlugin* plugin, std::uint32_t index,
                 const std::vector<const float*>& signal);

    LilvInstance* instance_ = nullptr;
    std::vector<std::vector<float>> buffers_; // audio outputs and CV ports
    std::vector<float*> audioOut_;
    std::unique_ptr<float[]> controls_;
    std::vector<AtomBuffer> atoms_;
    std::vector<LV2_Atom*> atomOutputs_;
    LV2_URID chunkType_ = 0;
    int audioInputsSeen_ = 0;
};

} // namespace kavet::bench
