// The signal path written from its definition, one channel and one sample at a time, in
// plain double arithmetic: the yardstick the kernels must match bit for bit.
#pragma once

#include "core/kernel.h"

#include <cmath>
#include <vector>

namespace kavet::test {

// The definition's own figures, not the kernel's, so that a wrong constant there shows: the
// glide's step (the float 0.005 widened) and the refresh period in ms.
inline constexpr double kReferenceGlide = static_cast<double>(0.005f);
inline constexpr double kReferenceRefreshMs = 4.0;

inline double flushed(double x) {
    return std::fabs(x) < 0x1p-1021 ? 0.0 : x;
}

struct ReferenceMeter {
    double envelope = 0.0, peak = 0.0, sum = 0.0;

    void update(double s, const MeterCoefficients& k) {
        const double m = std::fabs(s);
        envelope =
            flushed(m > envelope ? (m - envelope) * k.attack + envelope : k.release * envelope);
        peak = envelope > peak ? envelope : peak;
        sum = flushed(sum + s * s);
    }
};

// State of the reference path. `refresh` is called with the kernel's state type, as the
// effect calls it, so that both paths take the same targets and coefficients.
struct ReferenceKernel {
    double gain[2], target[2];
    double elapsedMs, lastRefreshMs, msPerSample;
    MeterCoefficients coefficients;
    ReferenceMeter meters[kMeterChannels];

    explicit ReferenceKernel(const KernelState& st)
        : gain{st.gain[0], st.gain[1]}, target{st.target[0], st.target[1]}, elapsedMs(st.elapsedMs),
          lastRefreshMs(st.lastRefreshMs), msPerSample(st.msPerSample),
          coefficients(st.coefficients) {
        for (int c = 0; c < kMeterChannels; ++c)
            meters[c] = {st.meters.envelope[c], st.meters.peak[c], st.meters.sum[c]};
    }

    // Steps 1 to 4 of a sample. Both gains step unless both are at their targets.
    template <class Refresh> void tick(Refresh& refresh) {
        if (gain[0] != target[0] || gain[1] != target[1]) {
            for (double& g : gain)
                g = flushed(g + (target[&g - gain] - g) * kReferenceGlide);
        }
        elapsedMs += msPerSample;
        if (elapsedMs >= lastRefreshMs + kReferenceRefreshMs) {
            lastRefreshMs = elapsedMs;
            KernelState st{};
            st.msPerSample = msPerSample;
            refresh(st);
            target[0] = st.target[0];
            target[1] = st.target[1];
            msPerSample = st.msPerSample;
            coefficients = st.coefficients;
        }
    }

    template <Write mode, class Sample> static void write(Sample& out, double value) {
        out = static_cast<Sample>(mode == Write::Add ? static_cast<double>(out) + value : value);
    }

    template <Write mode, class Sample, class Refresh>
    void stereo(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int frames,
                Refresh& refresh) {
        for (int i = 0; i < frames; ++i) {
            tick(refresh);
            const double x[2] = {static_cast<double>(inL[i]), static_cast<double>(inR[i])};
            const double o[2] = {flushed(x[0] * gain[0]), flushed(x[1] * gain[1])};
            meters[kInLeft].update(x[0], coefficients);
            meters[kInRight].update(x[1], coefficients);
            meters[kOutLeft].update(o[0], coefficients);
            meters[kOutRight].update(o[1], coefficients);
            write<mode>(outL[i], o[0]);
            write<mode>(outR[i], o[1]);
        }
    }

    template <Write mode, class Sample, class Refresh>
    void mono(const Sample* in, Sample* out, int frames, Refresh& refresh) {
        for (int i = 0; i < frames; ++i) {
            tick(refresh);
            const double x = static_cast<double>(in[i]);
            const double o = flushed(x * gain[0]);
            meters[kInLeft].update(x, coefficients);
            meters[kOutLeft].update(o, coefficients);
            write<mode>(out[i], o);
        }
    }
};

} // namespace kavet::test
