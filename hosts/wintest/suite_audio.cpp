// The three processing entry points of the mono build: unity by default bit for bit, the
// glide to a new gain, double precision, in-place buffers and the accumulating form.
#include "suites.h"

#include <cmath>
#include <cstring>
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

void processFloat(AEffect* e, const float* in, float* out, int frames) {
    float* inputs[] = {const_cast<float*>(in)};
    float* outputs[] = {out};
    e->processReplacing(e, inputs, outputs, frames);
}

void processDouble(AEffect* e, const double* in, double* out, int frames) {
    double* inputs[] = {const_cast<double*>(in)};
    double* outputs[] = {out};
    e->processDoubleReplacing(e, inputs, outputs, frames);
}

// Runs `frames` samples through processReplacing in blocks; returns the last block's output.
std::vector<float> glide(AEffect* e, int frames, unsigned seed, std::vector<float>& lastIn) {
    std::vector<float> out(kBlock);
    for (int done = 0; done < frames; done += kBlock) {
        lastIn = testSignal(kBlock, seed + static_cast<unsigned>(done));
        processFloat(e, lastIn.data(), out.data(), kBlock);
    }
    return out;
}

double worstError(const std::vector<float>& in, const std::vector<float>& out, double gain) {
    double worst = 0.0;
    for (size_t i = 0; i < in.size(); ++i)
        worst = std::fmax(worst, std::fabs(static_cast<double>(out[i]) - in[i] * gain));
    return worst;
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
    // The buffers below have one channel each.
    if (!check.expect(e->numInputs == 1 && e->numOutputs == 1, "AudioOfAMonoModule",
                      "%ld in, %ld out: not processed", static_cast<long>(e->numInputs),
                      static_cast<long>(e->numOutputs)))
        return;
    resume(e);

    const std::vector<float> in = testSignal(kBlock, 1);
    std::vector<float> out(kBlock, 7.0f);
    processFloat(e, in.data(), out.data(), kBlock);
    check.expect(std::memcmp(in.data(), out.data(), kBlock * sizeof(float)) == 0,
                 "DefaultFloatOutputEqualsInputBitForBit");

    std::vector<double> din(in.begin(), in.end());
    din[0] = 0.123456789012345678; // a value that a float path would round
    std::vector<double> dout(kBlock, 7.0);
    processDouble(e, din.data(), dout.data(), kBlock);
    check.expect(std::memcmp(din.data(), dout.data(), kBlock * sizeof(double)) == 0,
                 "DefaultDoubleOutputEqualsInputBitForBit");

    // Gain 0.25 is 8 * 0.25^3 = 0.125 (-18.06 dB); after 20000 samples the glide of 0.5 %
    // per sample has closed the step to far below the tolerance.
    e->setParameter(e, 0, 0.25f);
    check.expect(e->getParameter(e, 0) == 0.25f, "GainParameterStored");
    std::vector<float> lastIn;
    const std::vector<float> lastOut = glide(e, 20000, 100, lastIn);
    const double err = worstError(lastIn, lastOut, 0.125);
    check.expect(err < kTolerance, "GainGlidesToOneEighth", "worst error %.3g", err);

    processDouble(e, din.data(), dout.data(), kBlock);
    double derr = 0.0;
    for (int i = 0; i < kBlock; ++i)
        derr = std::fmax(derr, std::fabs(dout[i] - din[i] * 0.125));
    check.expect(derr < kTolerance, "DoubleReplacingAppliesGain", "worst error %.3g", derr);

    std::vector<double> inPlace = din;
    processDouble(e, inPlace.data(), inPlace.data(), kBlock);
    double perr = 0.0;
    for (int i = 0; i < kBlock; ++i)
        perr = std::fmax(perr, std::fabs(inPlace[i] - din[i] * 0.125));
    check.expect(perr < kTolerance, "InPlaceBuffersWork", "worst error %.3g", perr);

    std::vector<float> acc(kBlock, 1.0f);
    float* inputs[] = {const_cast<float*>(in.data())};
    float* outputs[] = {acc.data()};
    e->process(e, inputs, outputs, kBlock);
    double aerr = 0.0;
    for (int i = 0; i < kBlock; ++i)
        aerr = std::fmax(aerr, std::fabs(static_cast<double>(acc[i]) - (1.0 + in[i] * 0.125)));
    check.expect(aerr < kTolerance, "AccumulatingProcessAdds", "worst error %.3g", aerr);

    // A block of zero samples writes nothing.
    std::vector<float> untouched(4, 3.0f);
    processFloat(e, in.data(), untouched.data(), 0);
    check.expect(untouched[0] == 3.0f, "ZeroFramesWritesNothing");
}
