// The three processing entry points: unity by default bit for bit, the glide to a new gain,
// double precision, in-place buffers and the accumulating form, on every channel of the
// module (each channel its own signal, so a swap or a copy of channels shows).
#include "suites.h"

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {
constexpr int kBlock = 512;
constexpr double kTolerance = 1e-6;

// A test signal of full-scale and small ordinary values (no zeros, no denormals).
std::vector<float> testSignal(int frames, unsigned seed) {
    std::vector<float> s(static_cast<size_t>(frames));
    unsigned state = seed;
    for (float& x : s) {
        state = state * 1664525u + 1013904223u;
        const float u = static_cast<float>(state >> 8) / 16777216.0f; // [0, 1)
        x = (u * 2.0f - 1.0f) * 0.999f + 1e-4f;
    }
    return s;
}

// One buffer per channel, and the channel pointers a host hands over (taken afresh at each
// call, so that copies point at their own buffers).
template <typename Sample> struct Buffers {
    std::vector<std::vector<Sample>> channels;
    std::vector<Sample*> pointers;

    Buffers(int count, int frames, Sample fill)
        : channels(static_cast<size_t>(count), std::vector<Sample>(frames, fill)) {}
    explicit Buffers(std::vector<std::vector<Sample>> data) : channels(std::move(data)) {}
    Sample** get() {
        pointers.clear();
        for (auto& c : channels)
            pointers.push_back(c.data());
        return pointers.data();
    }
};

// Channel c of a block starting at `seed` has the signal of seed + 7919 c.
Buffers<float> floatSignal(int channels, int frames, unsigned seed) {
    std::vector<std::vector<float>> data;
    for (int c = 0; c < channels; ++c)
        data.push_back(testSignal(frames, seed + 7919u * static_cast<unsigned>(c)));
    return Buffers<float>(std::move(data));
}

Buffers<double> widened(const Buffers<float>& in) {
    std::vector<std::vector<double>> data;
    for (const auto& c : in.channels)
        data.emplace_back(c.begin(), c.end());
    // A value that a float path would round.
    data[0][0] = 0.123456789012345678;
    return Buffers<double>(std::move(data));
}

template <typename Sample>
double worstError(const Buffers<Sample>& in, const Buffers<Sample>& out, double gain,
                  double offset = 0.0) {
    double worst = 0.0;
    for (size_t c = 0; c < in.channels.size(); ++c)
        for (size_t i = 0; i < in.channels[c].size(); ++i)
            worst = std::fmax(worst, std::fabs(static_cast<double>(out.channels[c][i]) -
                                               (offset + in.channels[c][i] * gain)));
    return worst;
}

template <typename Sample> bool sameBits(const Buffers<Sample>& a, const Buffers<Sample>& b) {
    for (size_t c = 0; c < a.channels.size(); ++c)
        if (std::memcmp(a.channels[c].data(), b.channels[c].data(),
                        a.channels[c].size() * sizeof(Sample)) != 0)
            return false;
    return true;
}

void resume(AEffect* e) {
    dispatch(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(e, effSetBlockSize, 0, kBlock);
    dispatch(e, effMainsChanged, 0, 1);
}
} // namespace

void checkAudio(Context& ctx) {
    Checker& check = ctx.check;
    EffectInstance fx(ctx.module.entry());
    if (!fx) return;
    AEffect* e = fx.get();
    const int channels = ctx.facts.channels;
    // The buffers below have the channels of the configuration under test.
    if (!check.expect(e->numInputs == channels && e->numOutputs == channels, "AudioChannelCounts",
                      "%ld in, %ld out, want %d: not processed", static_cast<long>(e->numInputs),
                      static_cast<long>(e->numOutputs), channels))
        return;
    resume(e);

    Buffers<float> in = floatSignal(channels, kBlock, 1);
    Buffers<float> out(channels, kBlock, 7.0f);
    e->processReplacing(e, in.get(), out.get(), kBlock);
    check.expect(sameBits(in, out), "DefaultFloatOutputEqualsInputBitForBit");

    Buffers<double> din = widened(in);
    Buffers<double> dout(channels, kBlock, 7.0);
    e->processDoubleReplacing(e, din.get(), dout.get(), kBlock);
    check.expect(sameBits(din, dout), "DefaultDoubleOutputEqualsInputBitForBit");

    // Gain 0.25 is 8 * 0.25^3 = 0.125 (-18.06 dB); after 20000 samples the glide of 0.5 %
    // per sample has closed the step to far below the tolerance.
    e->setParameter(e, 0, 0.25f);
    check.expect(e->getParameter(e, 0) == 0.25f, "GainParameterStored");
    Buffers<float> lastIn = in;
    for (int done = 0; done < 20000; done += kBlock) {
        lastIn = floatSignal(channels, kBlock, 100 + static_cast<unsigned>(done));
        e->processReplacing(e, lastIn.get(), out.get(), kBlock);
    }
    const double err = worstError(lastIn, out, 0.125);
    check.expect(err < kTolerance, "GainGlidesToOneEighth", "worst error %.3g", err);

    e->processDoubleReplacing(e, din.get(), dout.get(), kBlock);
    const double derr = worstError(din, dout, 0.125);
    check.expect(derr < kTolerance, "DoubleReplacingAppliesGain", "worst error %.3g", derr);

    Buffers<double> inPlace = din;
    e->processDoubleReplacing(e, inPlace.get(), inPlace.get(), kBlock);
    const double perr = worstError(din, inPlace, 0.125);
    check.expect(perr < kTolerance, "InPlaceBuffersWork", "worst error %.3g", perr);

    Buffers<float> acc(channels, kBlock, 1.0f);
    e->process(e, in.get(), acc.get(), kBlock);
    const double aerr = worstError(in, acc, 0.125, 1.0);
    check.expect(aerr < kTolerance, "AccumulatingProcessAdds", "worst error %.3g", aerr);

    // A block of zero samples writes nothing.
    Buffers<float> untouched(channels, 4, 3.0f);
    e->processReplacing(e, in.get(), untouched.get(), 0);
    bool kept = true;
    for (const auto& c : untouched.channels)
        kept = kept && c[0] == 3.0f;
    check.expect(kept, "ZeroFramesWritesNothing");
}
