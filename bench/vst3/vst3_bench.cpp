// The cost of processing per frame (both channels) at blocks of 64 and of 512 frames, 48 kHz,
// 32-bit samples, on a noise-like signal at about -2 dBFS, with a gain above unity, a trim
// and the pan off centre (so that the effect multiplies every sample by gains of its own);
// and the same muted (muted:1), whose output is silence:
//   kavet_vst3     Kavet Stereo's VST 3 processor (class 0 of the bundle's module), through
//                  IAudioProcessor::process with no parameter changes
//   kavet_vst      Kavet Stereo's VST 2.4 module through its own entry (processReplacing)
//   vst3_over_vst  kavet_vst3 / kavet_vst
// The VST 2.4 effect takes the settings as parameters; its chunk is the VST 3 component's
// state, so that both start alike. Each timed batch runs both in turn, 16384 frames each,
// the order swapped batch by batch, so that the load of a shared machine falls on both
// alike; the time is the thread's processor time, which a shared machine's other programs
// do not lengthen by taking the processor away in the middle of a batch. Before the timing, the
// outputs of the same blocks are compared bit for bit: both do the same work, or the run stops with
// an error.

#include "hosts/common/host_error.h"
#include "hosts/common/vst3_module.h"
#include "hosts/common/vst3_plugin.h"
#include "hosts/common/vst_module.h"
#include "hosts/common/vst_plugin.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <time.h>
#include <vector>

namespace {

// The calling thread's processor time, in nanoseconds.
double threadNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

constexpr double kRate = 48000.0;
constexpr int kMaxFrames = 512;
constexpr int kChannels = 2;
constexpr int kBatchFrames = 16384; // frames per effect per timed batch
constexpr int kStereoProcessorClass = 0;

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
    virtual void run(int frames) = 0; // one block
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
    // The effect's state as its chunk: the VST 3 component's state holds the same bytes.
    std::vector<std::uint8_t> chunk() {
        void* data = nullptr;
        const auto size = plugin_.dispatch(effGetChunk, 0, 0, &data);
        if (size <= 0 || data == nullptr) throw kavet::host::HostError("no chunk");
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        return {bytes, bytes + size};
    }

private:
    kavet::host::VstPlugin plugin_;
    float** in_;
};

// The VST 3 module's processor as the project's VST 3 host drives it: the same state, set
// up for 32-bit samples, active and processing; blocks without parameter changes.
class Vst3Contender final : public Contender {
public:
    Vst3Contender(const std::vector<std::uint8_t>& state, Signal& signal)
        : Contender("kavet_vst3"), in_(signal.pointers) {
        auto module = std::make_shared<kavet::host::Vst3Module>(KAVET_VST3_MODULE);
        const auto classes = module->classes();
        if (classes.size() <= kStereoProcessorClass) throw kavet::host::HostError("no classes");
        plugin_ =
            std::make_unique<kavet::host::Vst3Plugin>(module, classes[kStereoProcessorClass].cid);
        if (plugin_->setState(state) != kavet::vst3::kResultOk)
            throw kavet::host::HostError("the state was refused");
        if (!plugin_->setup(kRate, kMaxFrames) || !plugin_->activate())
            throw kavet::host::HostError("the processor did not start");
    }
    void run(int frames) override {
        if (!plugin_->process(in_, out_, frames).ok)
            throw kavet::host::HostError("process() refused a block");
    }

private:
    std::unique_ptr<kavet::host::Vst3Plugin> plugin_;
    float** in_;
};

// The outputs of the same blocks, bit for bit.
bool sameOutputs(Contender& a, Contender& b, int frames) {
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
bool asSet(const Contender& c, const Signal& signal, int frames, bool muted) {
    bool silent = true, unchanged = true;
    for (int ch = 0; ch < kChannels; ++ch) {
        for (int i = 0; i < frames; ++i) {
            silent = silent && c.output(ch)[i] == 0.0f;
            unchanged = unchanged && c.output(ch)[i] == signal.pointers[ch][i];
        }
    }
    return muted ? silent : !silent && !unchanged;
}

void BM_ProcessPerFrame(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    const bool muted = state.range(1) != 0;
    Signal signal;
    std::unique_ptr<VstContender> vst;
    std::unique_ptr<Vst3Contender> vst3;
    try {
        vst = std::make_unique<VstContender>(
            std::make_shared<kavet::host::VstModule>(KAVET_VST_MODULE), signal, muted);
        vst3 = std::make_unique<Vst3Contender>(vst->chunk(), signal);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    if (!sameOutputs(*vst3, *vst, frames)) {
        state.SkipWithError("the VST 3 and VST 2.4 outputs differ: their costs do not compare");
        return;
    }
    if (!signal.intact()) {
        state.SkipWithError("an effect wrote into its input");
        return;
    }
    if (!asSet(*vst, signal, frames, muted)) {
        state.SkipWithError("the output is not what the settings ask for");
        return;
    }
    Contender* contenders[2] = {vst3.get(), vst.get()};
    int rotation = 0;
    for (auto _ : state) {
        const double start = threadNs();
        for (int k = 0; k < 2; ++k) {
            Contender& c = *contenders[(k + rotation) % 2];
            const double t0 = threadNs();
            for (int done = 0; done < kBatchFrames; done += frames)
                c.run(frames);
            c.ns += threadNs() - t0;
        }
        ++rotation;
        state.SetIterationTime((threadNs() - start) * 1e-9);
    }
    const double total = static_cast<double>(state.iterations()) * kBatchFrames;
    for (const Contender* c : contenders)
        state.counters[c->counter()] = c->ns / total;
    state.counters["vst3_over_vst"] = vst3->ns / vst->ns;
}

BENCHMARK(BM_ProcessPerFrame)
    ->ArgNames({"frames", "muted"})
    ->ArgsProduct({{64, 512}, {0, 1}})
    ->UseManualTime();

} // namespace
