// The cost of processing per frame (both channels) at blocks of 64 and of 512 frames, 48 kHz,
// 32-bit samples, on a noise-like signal at about -2 dBFS, with a gain above unity, a trim
// and the pan off centre (so that the effect multiplies every sample by gains of its own);
// and the same muted (muted:1), whose output is silence:
//   kavet_clap     Kavet Stereo of the CLAP module (com.velmorant.kavet.stereo), through the
//                  plug-in's process with empty event lists
//   kavet_vst      Kavet Stereo's VST 2.4 module through its own entry (processReplacing)
//   clap_over_vst  kavet_clap / kavet_vst
// The CLAP plug-in's state is the VST 2.4 effect's chunk, so that both start alike. Both run
// on the CLAP host's audio thread, where the plug-in was started; each timed batch runs both in
// turn, 16384 frames each, the order swapped batch by batch, so that the load of a shared
// machine falls on both alike; the time is that thread's processor time. Before the timing,
// the outputs of the same blocks are compared bit for bit and the plug-in's constant mask is
// checked against the output: both do the same work, or the run stops with an error.
#include "hosts/common/clap_events.h"
#include "hosts/common/clap_module.h"
#include "hosts/common/clap_plugin.h"
#include "hosts/common/host_error.h"
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

using kavet::host::ClapModule;
using kavet::host::ClapPlugin;

constexpr double kRate = 48000.0;
constexpr int kMaxFrames = 512;
constexpr int kChannels = 2;
constexpr int kBatchFrames = 16384; // frames per effect per timed batch
constexpr const char* kStereoId = "com.velmorant.kavet.stereo";

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
    // The effect's state as its chunk: the CLAP plug-in's state is the same bytes.
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

// The plug-in created, given the state, activated and started by the host library; the blocks
// go straight to the plug-in's process with one clap::Process made once, as a host's audio
// callback makes them, so that the time is the plug-in's and none of the library's checks.
class ClapContender final : public Contender {
public:
    ClapContender(const std::vector<unsigned char>& state, Signal& signal)
        : Contender("kavet_clap"),
          plugin_(std::make_shared<const ClapModule>(KAVET_CLAP_MODULE), kStereoId),
          inEvents_(noEvents_), outEvents_(pushed_) {
        if (!plugin_.loadState(state)) throw kavet::host::HostError("the state was refused");
        if (plugin_.inputChannels() != kChannels || plugin_.outputChannels() != kChannels)
            throw kavet::host::HostError("the plug-in is not stereo");
        if (!plugin_.activate(kRate, 1, kMaxFrames) || !plugin_.startProcessing())
            throw kavet::host::HostError("the plug-in did not start");
        input_ = {signal.pointers, nullptr, kChannels, 0, 0};
        output_ = {out_, nullptr, kChannels, 0, 0};
        process_ = {0, 0, nullptr, &input_, &output_, 1, 1, inEvents_.get(), outEvents_.get()};
    }
    void run(int frames) override {
        process_.frames_count = static_cast<kavet::clap::uint32>(frames);
        const kavet::clap::Plugin* p = plugin_.plugin();
        if (p->process(p, &process_) != kavet::clap::kProcessContinue) failed = true;
        process_.steady_time += frames;
    }
    kavet::clap::uint64 constantMask() const { return output_.constant_mask; }
    kavet::host::AudioThread& audioThread() { return plugin_.audioThread(); }
    bool failed = false; // a block was not answered "continue"

private:
    ClapPlugin plugin_;
    kavet::host::EventList noEvents_{1, 64}, pushed_{16, 1024};
    kavet::host::InputEventsView inEvents_;
    kavet::host::OutputEventsView outEvents_;
    kavet::clap::AudioBuffer input_{}, output_{};
    kavet::clap::Process process_{};
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

// What is wrong with the outputs before the timing, or null.
const char* checkOutputs(ClapContender& clap, VstContender& vst, const Signal& signal, int frames,
                         bool muted) {
    if (!sameOutputs(clap, vst, frames))
        return "the CLAP and VST 2.4 outputs differ: their costs do not compare";
    if (clap.failed) return "the CLAP plug-in did not answer a block with \"continue\"";
    if (!signal.intact()) return "an effect wrote into its input";
    if (!asSet(vst, signal, frames, muted)) return "the output is not what the settings ask for";
    if (clap.constantMask() != (muted ? 0b11u : 0u))
        return "the CLAP plug-in's constant mask does not tell the output's silence";
    return nullptr;
}

void BM_ProcessPerFrame(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    const bool muted = state.range(1) != 0;
    Signal signal;
    std::unique_ptr<VstContender> vst;
    std::unique_ptr<ClapContender> clap;
    try {
        vst = std::make_unique<VstContender>(
            std::make_shared<kavet::host::VstModule>(KAVET_VST_MODULE), signal, muted);
        clap = std::make_unique<ClapContender>(vst->chunk(), signal);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    kavet::host::AudioThread& audio = clap->audioThread();
    const char* fault = nullptr;
    audio.run([&] { fault = checkOutputs(*clap, *vst, signal, frames, muted); });
    if (fault != nullptr) {
        state.SkipWithError(fault);
        return;
    }
    Contender* contenders[2] = {clap.get(), vst.get()};
    int rotation = 0;
    for (auto _ : state) {
        double batch = 0.0;
        audio.run([&] {
            const double start = threadNs();
            for (int k = 0; k < 2; ++k) {
                Contender& c = *contenders[(k + rotation) % 2];
                const double t0 = threadNs();
                for (int done = 0; done < kBatchFrames; done += frames)
                    c.run(frames);
                c.ns += threadNs() - t0;
            }
            batch = threadNs() - start;
        });
        ++rotation;
        state.SetIterationTime(batch * 1e-9);
    }
    if (clap->failed) {
        state.SkipWithError("the CLAP plug-in did not answer a block with \"continue\"");
        return;
    }
    const double total = static_cast<double>(state.iterations()) * kBatchFrames;
    for (const Contender* c : contenders)
        state.counters[c->counter()] = c->ns / total;
    state.counters["clap_over_vst"] = clap->ns / vst->ns;
}

BENCHMARK(BM_ProcessPerFrame)
    ->ArgNames({"frames", "muted"})
    ->ArgsProduct({{64, 512}, {0, 1}})
    ->UseManualTime();

} // namespace
