// The per-sample signal path shared by the stereo and mono kernels: the gain glide, the
// 4-ms refresh clock, the meters and the gain, in double precision whatever the host's
// sample type.
#pragma once

#include "dsp/flush.h"
#include "meter.h"

namespace kavet {

// Glide 0.5 % of the way to the target each sample. The coefficient is the single-precision
// 0.005 (0.004999999888 as a double): a step is 63 % done after about 200 samples.
inline constexpr double kGlide = static_cast<double>(0.005f);

// Target computation runs every 4 ms of processed audio.
inline constexpr double kRefreshMs = 4.0;

enum class Write { Replace, Add };

// Audio-thread state of one kernel run, loaded from the effect at the start of a block and
// stored back at its end.
struct KernelState {
    double gain[2];   // applied gains, left and right
    double target[2]; // the gains glide towards these
    double elapsedMs; // processed audio, never reset
    double lastRefreshMs;
    double msPerSample;
    MeterCoefficients coefficients;
    MeterAccumulators meters;
};

namespace detail {

inline void meterUpdate(MeterAccumulators& m, int channel, double s, const MeterCoefficients& k) {
    double magnitude = s > 0.0 ? s : -s;
    double env = m.envelope[channel];
    env = magnitude > env ? (magnitude - env) * k.attack + env : k.release * env;
    // Flushed at once: the peak below never takes a subnormal value either.
    env = dsp::flushTiny(env);
    m.envelope[channel] = env;
    if (env > m.peak[channel]) m.peak[channel] = env;
    m.sum[channel] = dsp::flushTiny(m.sum[channel] + s * s);
}

// Steps 1 to 4 of every sample: glide, flush, clock, periodic refresh.
template <class Refresh> inline void tick(KernelState& st, Refresh& refresh) {
    // At the target the step is exact (x + 0 = x), so skip the arithmetic.
    if (st.gain[0] != st.target[0] || st.gain[1] != st.target[1]) {
        st.gain[0] = dsp::flushTiny(st.gain[0] + (st.target[0] - st.gain[0]) * kGlide);
        st.gain[1] = dsp::flushTiny(st.gain[1] + (st.target[1] - st.gain[1]) * kGlide);
    }
    st.elapsedMs += st.msPerSample;
    if (st.elapsedMs >= st.lastRefreshMs + kRefreshMs) {
        st.lastRefreshMs = st.elapsedMs;
        refresh(st); // recomputes and reloads targets, coefficients and msPerSample
    }
}

template <class Sample> inline void store(Sample& out, double value, Write mode) {
    if (mode == Write::Add) {
        out = static_cast<Sample>(static_cast<double>(out) + value);
    } else {
        out = static_cast<Sample>(value);
    }
}

} // namespace detail

// Stereo kernel on channels 0 and 1. Both inputs of a frame are read before its outputs are
// written, so input and output buffers may be the same.
template <Write mode, class Sample, class Refresh>
void stereoKernel(Sample* const* inputs, Sample* const* outputs, int frames, KernelState& st,
                  Refresh& refresh) {
    const Sample* inL = inputs[0];
    const Sample* inR = inputs[1];
    Sample* outL = outputs[0];
    Sample* outR = outputs[1];
    for (int i = 0; i < frames; ++i) {
        detail::tick(st, refresh);
        double l = static_cast<double>(inL[i]);
        double r = static_cast<double>(inR[i]);
        detail::meterUpdate(st.meters, kInLeft, l, st.coefficients);
        detail::meterUpdate(st.meters, kInRight, r, st.coefficients);
        ++st.meters.count;
        double oL = dsp::flushTiny(l * st.gain[0]);
        double oR = dsp::flushTiny(r * st.gain[1]);
        detail::meterUpdate(st.meters, kOutLeft, oL, st.coefficients);
        detail::meterUpdate(st.meters, kOutRight, oR, st.coefficients);
        detail::store(outL[i], oL, mode);
        detail::store(outR[i], oR, mode);
    }
}

// Mono kernel on channel 0; the right-hand meter channels stay untouched.
template <Write mode, class Sample, class Refresh>
void monoKernel(Sample* const* inputs, Sample* const* outputs, int frames, KernelState& st,
                Refresh& refresh) {
    const Sample* in = inputs[0];
    Sample* out = outputs[0];
    for (int i = 0; i < frames; ++i) {
        detail::tick(st, refresh);
        double x = static_cast<double>(in[i]);
        detail::meterUpdate(st.meters, kInLeft, x, st.coefficients);
        ++st.meters.count;
        double o = dsp::flushTiny(x * st.gain[0]);
        detail::meterUpdate(st.meters, kOutLeft, o, st.coefficients);
        detail::store(out[i], o, mode);
    }
}

} // namespace kavet
