// Cost of the processing kernels per frame, at several block sizes, in float and double,
// beside two reference loops timed in the same iterations (so that both see the same load
// on a shared machine). Counters:
//   ns_per_frame     the kernel
//   plain_ns_frame   out = in * g on the same buffers
//   chain_ns_frame   one meter pair's envelope step, sample after sample: the latency that
//                    bounds the kernel from below
//   ratio            kernel / plain
//   over_chain       kernel / chain
// BM_BlockSize times blocks of 64 and of 512 frames in alternation and reports the cost per
// frame of each and small_over_large, their ratio (the per-block overhead).
// The silence-tail benchmark reports the median block on signal, the median and the worst
// block of a long tail of silence after it, and their ratio.
#include "core/plug.h"
#include "envelope_chain.h"
#include "plain_loop.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

VstIntPtr VSTCALLBACK benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

template <class Sample> struct Buffers {
    std::vector<std::vector<Sample>> in, out;
    std::vector<Sample*> inPtr, outPtr;
    Buffers(int frames, double amplitude) {
        for (int c = 0; c < kavet::kNumChannels; ++c) {
            in.emplace_back(frames);
            out.emplace_back(frames);
            for (int i = 0; i < frames; ++i) {
                // Noise-like signal: the envelopes rise and fall unpredictably.
                in[c][i] = static_cast<Sample>(amplitude * std::sin(i * 0.37 + c) *
                                               std::sin(i * 0.0131 + 0.5 * c));
            }
            inPtr.push_back(in[c].data());
            outPtr.push_back(out[c].data());
        }
    }
};

// Stereo: both channels through processReplacing (the stereo build only). Mono: channel 0
// through the mono entry points, which both builds have.
enum class Layout { Stereo, Mono };
constexpr Layout kMain = kavet::kStereo ? Layout::Stereo : Layout::Mono;

template <Layout layout, class Sample>
void process(kavet::Plug& plug, Buffers<Sample>& b, int frames) {
    if constexpr (std::is_same_v<Sample, float>) {
        if constexpr (layout == Layout::Stereo) {
            plug.processReplacing(b.inPtr.data(), b.outPtr.data(), frames);
        } else {
            plug.processReplacingMono(b.inPtr.data(), b.outPtr.data(), frames);
        }
    } else if constexpr (layout == Layout::Stereo) {
        plug.processDoubleReplacing(b.inPtr.data(), b.outPtr.data(), frames);
    } else {
        plug.processDoubleReplacingMono(b.inPtr.data(), b.outPtr.data(), frames);
    }
}

enum class Mode { Steady, ChangeEveryBlock };

constexpr int kBatchFrames = 16384; // frames per timed batch

// The envelope chain's input: the benchmark's signal in double precision.
struct ChainInput {
    Buffers<double> signal{kBatchFrames, 0.8};
    kavet::MeterCoefficients coefficients = kavet::meterCoefficients(1, 48000.0);

    double run() const {
        return envelopeChain(signal.in[0].data(), signal.in[1 % kavet::kNumChannels].data(),
                             kBatchFrames, coefficients);
    }
};

template <Layout layout, class Sample, Mode mode> void BM_Kernel(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    kavet::Plug plug(benchHost);
    plug.setSampleRate(48000.0f);
    plug.resume();
    Buffers<Sample> b(frames, 0.8);
    const ChainInput chain;
    const int batch = std::max(1, kBatchFrames / frames); // blocks per timed batch
    double kernelNs = 0.0, plainNs = 0.0, chainNs = 0.0;
    long long kernelFrames = 0, chainFrames = 0;
    int block = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (int k = 0; k < batch; ++k) {
            if constexpr (mode == Mode::ChangeEveryBlock) {
                plug.setParameter(kavet::kGain, (block++ & 1) ? 0.45f : 0.55f);
            }
            process<layout>(plug, b, frames);
        }
        auto t1 = Clock::now();
        for (int k = 0; k < batch; ++k) {
            plainGain<Sample>(b.inPtr.data(), b.outPtr.data(), kavet::kNumChannels, frames,
                              Sample(0.5));
        }
        auto t2 = Clock::now();
        benchmark::DoNotOptimize(chain.run());
        auto t3 = Clock::now();
        benchmark::ClobberMemory();
        kernelNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
        plainNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
        chainNs += std::chrono::duration<double, std::nano>(t3 - t2).count();
        kernelFrames += static_cast<long long>(batch) * frames;
        chainFrames += kBatchFrames;
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    const double perFrame = kernelNs / static_cast<double>(kernelFrames);
    const double chainPerFrame = chainNs / static_cast<double>(chainFrames);
    state.counters["ns_per_frame"] = perFrame;
    state.counters["plain_ns_frame"] = plainNs / static_cast<double>(kernelFrames);
    state.counters["chain_ns_frame"] = chainPerFrame;
    state.counters["ratio"] = kernelNs / plainNs;
    state.counters["over_chain"] = perFrame / chainPerFrame;
    state.SetItemsProcessed(kernelFrames);
}

// Blocks of 64 and of 512 frames on two effects, alternating batch by batch so that both
// sizes see the same load.
template <Layout layout, class Sample> void BM_BlockSize(benchmark::State& state) {
    constexpr int kSmall = 64, kLarge = 512;
    kavet::Plug small(benchHost), large(benchHost);
    for (kavet::Plug* plug : {&small, &large}) {
        plug->setSampleRate(48000.0f);
        plug->resume();
    }
    Buffers<Sample> bs(kSmall, 0.8), bl(kLarge, 0.8);
    double smallNs = 0.0, largeNs = 0.0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (int k = 0; k < kBatchFrames / kSmall; ++k)
            process<layout>(small, bs, kSmall);
        auto t1 = Clock::now();
        for (int k = 0; k < kBatchFrames / kLarge; ++k)
            process<layout>(large, bl, kLarge);
        auto t2 = Clock::now();
        smallNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
        largeNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
        state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());
    }
    const double frames = static_cast<double>(state.iterations()) * kBatchFrames;
    state.counters["small_ns_frame"] = smallNs / frames;
    state.counters["large_ns_frame"] = largeNs / frames;
    state.counters["small_over_large"] = smallNs / largeNs;
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Ten seconds of signal, then two minutes of silence while every envelope, sum and gain
// decays (mute on, so the gain decays too); each block timed on its own.
template <class Sample> void BM_SilenceTail(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    const int signalBlocks = 10 * 48000 / frames;
    const int silenceBlocks = 120 * 48000 / frames;
    double signalMedian = 0, tailMedian = 0, tailWorst = 0;
    for (auto _ : state) {
        kavet::Plug plug(benchHost);
        plug.setSampleRate(48000.0f);
        plug.resume();
        Buffers<Sample> signal(frames, 0.8), silence(frames, 0.0);
        std::vector<double> onSignal, onSilence;
        for (int k = 0; k < signalBlocks; ++k) {
            auto t0 = Clock::now();
            process<kMain>(plug, signal, frames);
            onSignal.push_back(std::chrono::duration<double, std::nano>(Clock::now() - t0).count());
        }
        plug.setParameter(kavet::kMute, 1.0f);
        for (int k = 0; k < silenceBlocks; ++k) {
            auto t0 = Clock::now();
            process<kMain>(plug, silence, frames);
            onSilence.push_back(
                std::chrono::duration<double, std::nano>(Clock::now() - t0).count());
        }
        signalMedian = median(onSignal);
        tailMedian = median(onSilence);
        tailWorst = *std::max_element(onSilence.begin(), onSilence.end());
        state.SetIterationTime((signalBlocks + silenceBlocks) * 1e-9 * tailMedian);
    }
    state.counters["signal_median_ns_frame"] = signalMedian / frames;
    state.counters["tail_median_ns_frame"] = tailMedian / frames;
    state.counters["tail_worst_ns_frame"] = tailWorst / frames;
    state.counters["tail_over_signal"] = tailMedian / signalMedian;
}

void Blocks(benchmark::internal::Benchmark* b) {
    for (int n : {32, 64, 512, 4096})
        b->Arg(n);
    b->UseManualTime();
}

// The build's own layout, then (stereo build) the mono kernel behind the mono entry points.
BENCHMARK_TEMPLATE(BM_Kernel, kMain, float, Mode::Steady)->Apply(Blocks);
BENCHMARK_TEMPLATE(BM_Kernel, kMain, double, Mode::Steady)->Apply(Blocks);
BENCHMARK_TEMPLATE(BM_Kernel, kMain, float, Mode::ChangeEveryBlock)->Apply(Blocks);
BENCHMARK_TEMPLATE(BM_Kernel, kMain, double, Mode::ChangeEveryBlock)->Apply(Blocks);
BENCHMARK_TEMPLATE(BM_BlockSize, kMain, float)->UseManualTime();
BENCHMARK_TEMPLATE(BM_BlockSize, kMain, double)->UseManualTime();
#if KAVET_STEREO
BENCHMARK_TEMPLATE(BM_Kernel, Layout::Mono, float, Mode::Steady)->Apply(Blocks);
BENCHMARK_TEMPLATE(BM_Kernel, Layout::Mono, double, Mode::Steady)->Apply(Blocks);
BENCHMARK_TEMPLATE(BM_BlockSize, Layout::Mono, float)->UseManualTime();
#endif
BENCHMARK_TEMPLATE(BM_SilenceTail, float)->Arg(64)->Iterations(1)->UseManualTime();
BENCHMARK_TEMPLATE(BM_SilenceTail, double)->Arg(64)->Iterations(1)->UseManualTime();

} // namespace
