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
#include "bench/support/format_contest.h"
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

using namespace kavet::bench;
using kavet::host::ClapModule;
using kavet::host::ClapPlugin;
constexpr const char* kStereoId = "com.velmorant.kavet.stereo";

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
