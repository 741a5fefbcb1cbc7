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

#include "bench/support/format_contest.h"

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

using namespace kavet::bench;

constexpr int kStereoProcessorClass = 0;

// The VST 3 module's processor as the project's VST 3 host drives it: the same state, set
// up for 32-bit samples, active and processing; blocks without parameter changes.
class Vst3Contender final : public Contender {
public:
    Vst3Contender(const std::vector<unsigned char>& state, Signal& signal)
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
