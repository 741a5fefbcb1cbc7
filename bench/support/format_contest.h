// What the benchmarks of one effect through two formats share: the settings and signal both
// start from, the thread's processor time, an effect under test with its output buffers, the
// VST 2.4 module as the reference, and the checks made before the timing (the same output bit
// for bit, the input left alone, the output what the settings ask for).
#pragma once

#include "hosts/common/host_error.h"
#include "hosts/common/vst_module.h"
#include "hosts/common/vst_plugin.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <time.h>
#include <vector>

namespace kavet::bench {

// The calling thread's processor time, in nanoseconds.
inline double threadNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

constexpr double kRate = 48000.0;
constexpr int kMaxFrames = 512;
constexpr int kChannels = 2;
constexpr int kBatchFrames = 16384; // frames per effect per timed batch

// The settings as normalised parameters: gain +4.75 dB (a factor of 8 v^3), trim -3.6 dB
// (of the default range, ±36 dB), pan 40 % left; phase and bypass off; mute as asked.
struct Setting {
    int index;
    float value;
};
constexpr Setting kSettings[] = {{0, 0.6f}, {1, 0.45f}, {2, 0.0f}, {4, 0.0f}, {5, 0.3f}};
constexpr int kMute = 3;

struct Signal {
    std::vector<float> channels[kChannels];
    float* pointers[kChannels];
    Signal() {
        for (int c = 0; c < kChannels; ++c) {
            for (int i = 0; i < kMaxFrames; ++i)
                channels[c].push_back(sample(c, i));
            pointers[c] = channels[c].data();
        }
    }
    static float sample(int c, int i) {
        return static_cast<float>(0.8 * std::sin(i * 0.37 + c) * std::sin(i * 0.0131 + c));
    }
    // Whether the buffers hold the signal still: the effects only read them.
    bool intact() const {
        for (int c = 0; c < kChannels; ++c)
            for (int i = 0; i < kMaxFrames; ++i)
                if (channels[c][static_cast<std::size_t>(i)] != sample(c, i)) return false;
        return true;
    }
};

// One effect under test, its output buffers and the time it took.
class Contender {
public:
    explicit Contender(std::string counter) : counter_(std::move(counter)) {
        for (int c = 0; c < kChannels; ++c) {
            buffers_[c].assign(kMaxFrames, 0.0f);
            out_[c] = buffers_[c].data();
        }
    }
    virtual ~Contender() = default;
    virtual void run(int frames) = 0; // one block [audio thread]
    const float* output(int channel) const { return out_[channel]; }
    const std::string& counter() const { return counter_; }
    double ns = 0.0;

protected:
    float* out_[kChannels];

private:
    std::string counter_;
    std::vector<float> buffers_[kChannels];
};

class VstContender final : public Contender {
public:
    VstContender(std::shared_ptr<const kavet::host::VstModule> module, Signal& signal, bool muted)
        : Contender("kavet_vst"), plugin_(std::move(module)), in_(signal.pointers) {
        plugin_.setSampleRate(static_cast<float>(kRate));
        plugin_.setBlockSize(kMaxFrames);
        for (const Setting& s : kSettings)
            plugin_.setParameter(s.index, s.value);
        plugin_.setParameter(kMute, muted ? 1.0f : 0.0f);
        plugin_.resume();
    }
    void run(int frames) override { plugin_.process(in_, out_, frames, kChannels); }
    // The effect's state as its chunk: the other formats' state is the same bytes.
    std::vector<unsigned char> chunk() {
        void* data = nullptr;
        const auto size = plugin_.dispatch(effGetChunk, 0, 0, &data);
        if (size <= 0 || data == nullptr) throw kavet::host::HostError("no chunk");
        const auto* bytes = static_cast<const unsigned char*>(data);
        return {bytes, bytes + size};
    }

private:
    kavet::host::VstPlugin plugin_;
    float** in_;
};

// The outputs of the same blocks, bit for bit.
inline bool sameOutputs(Contender& a, Contender& b, int frames) {
    for (int block = 0; block < 8; ++block) {
        a.run(frames);
        b.run(frames);
        for (int c = 0; c < kChannels; ++c)
            if (std::memcmp(a.output(c), b.output(c), sizeof(float) * frames) != 0) return false;
    }
    return true;
}

// Whether the last block is what the settings ask for: silence when muted, else neither
// silence nor the input as it came (the gains are at work).
inline bool asSet(const Contender& c, const Signal& signal, int frames, bool muted) {
    bool silent = true, unchanged = true;
    for (int ch = 0; ch < kChannels; ++ch) {
        for (int i = 0; i < frames; ++i) {
            silent = silent && c.output(ch)[i] == 0.0f;
            unchanged = unchanged && c.output(ch)[i] == signal.pointers[ch][i];
        }
    }
    return muted ? silent : !silent && !unchanged;
}

} // namespace kavet::bench
