// The per-sample signal path shared by the stereo and mono kernels: the gain glide, the
// 4-ms refresh clock, the meters and the gain, in double precision whatever the host's
// sample type.
//
// Two meter channels are updated together in one pair of doubles (stereo: left and right;
// mono: input and output). Every operation is the IEEE operation on each lane, so results
// are bit for bit those of one channel at a time.
#pragma once

#include "meter.h"

#include <emmintrin.h>

#include <cstdint>

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

namespace simd {

// A pair of doubles in one SSE2 register (every target of the modules is x86 with SSE2).
using Pair = __m128d;

inline Pair splat(double x) {
    return _mm_set1_pd(x);
}
inline Pair pair(double first, double second) {
    return _mm_set_pd(second, first);
}
inline double first(Pair x) {
    return _mm_cvtsd_f64(x);
}
inline double second(Pair x) {
    return _mm_cvtsd_f64(_mm_unpackhi_pd(x, x));
}

inline Pair magnitude(Pair x) {
    return _mm_and_pd(x, _mm_castsi128_pd(_mm_set1_epi64x(INT64_MAX)));
}

// The flush rule on both lanes: magnitude below 2^-1021 (exponent field 0 or 1) becomes 0.
// A NaN compares false and is kept.
inline Pair flush(Pair x) {
    return _mm_andnot_pd(_mm_cmplt_pd(magnitude(x), splat(0x1p-1021)), x);
}

// Meter coefficients with the flush floors of their products.
struct Coefficients {
    Pair attack, release, riseFloor, fallFloor;
    explicit Coefficients(const MeterCoefficients& c)
        : attack(splat(c.attack)), release(splat(c.release)), riseFloor(splat(c.riseFloor)),
          fallFloor(splat(c.fallFloor)) {}
};

// Envelope, peak and sum of two meter channels for the samples `s`. A rise moves the
// envelope by the attack coefficient, anything else multiplies it by the release
// coefficient; envelope and sum then follow the flush rule, so the peak never holds a
// subnormal either.
//
// The flush is decided beside the arithmetic rather than after it, to keep it off the
// sample-to-sample dependency chain. It is exact: the envelope is always 0 or at least
// 2^-1021, and a rise never falls below the envelope it started from, so a rise is flushed
// only from 0 (where it is m * attack) and a fall only when the envelope is below the
// release coefficient's floor. Likewise the sum never decreases: only s * s added to 0 can
// be flushed.
struct MeterPair {
    Pair envelope, peak, sum;

    void update(Pair s, const Coefficients& k) {
        const Pair zero = _mm_setzero_pd();
        Pair m = magnitude(s);
        Pair up = _mm_cmpgt_pd(m, envelope); // a NaN sample compares false: it counts as a fall
        Pair riseFlushed = _mm_and_pd(_mm_cmpeq_pd(envelope, zero), _mm_cmplt_pd(m, k.riseFloor));
        Pair fallDropped = _mm_or_pd(up, _mm_cmplt_pd(envelope, k.fallFloor));
        Pair rise = _mm_add_pd(_mm_mul_pd(_mm_sub_pd(m, envelope), k.attack), envelope);
        Pair fall = _mm_mul_pd(k.release, envelope);
        envelope = _mm_or_pd(_mm_and_pd(rise, _mm_andnot_pd(riseFlushed, up)),
                             _mm_andnot_pd(fallDropped, fall));
        peak = _mm_max_pd(envelope, peak); // envelope > peak ? envelope : peak
        Pair square = _mm_mul_pd(s, s);
        Pair sumFlushed =
            _mm_and_pd(_mm_cmpeq_pd(sum, zero), _mm_cmplt_pd(square, splat(0x1p-1021)));
        sum = _mm_andnot_pd(sumFlushed, _mm_add_pd(sum, square));
    }
};

} // namespace simd

namespace detail {

template <class Sample> inline void store(Sample& out, double value, Write mode) {
    if (mode == Write::Add) {
        out = static_cast<Sample>(static_cast<double>(out) + value);
    } else {
        out = static_cast<Sample>(value);
    }
}

// Gains, clock and coefficients held in registers for the length of a block.
struct Glide {
    simd::Pair gain, target;
    simd::Coefficients meter;
    double elapsedMs, refreshAtMs, msPerSample;

    explicit Glide(const KernelState& st)
        : gain(simd::pair(st.gain[0], st.gain[1])), target(simd::pair(st.target[0], st.target[1])),
          meter(st.coefficients), elapsedMs(st.elapsedMs),
          refreshAtMs(st.lastRefreshMs + kRefreshMs), msPerSample(st.msPerSample) {}

    void reloadCoefficients(const KernelState& st) {
        target = simd::pair(st.target[0], st.target[1]);
        meter = simd::Coefficients(st.coefficients);
        msPerSample = st.msPerSample;
    }

    // Steps 1 to 4 of every sample: glide, flush, clock, periodic refresh.
    template <class Refresh> void tick(KernelState& st, Refresh& refresh) {
        // At the target the step is exact (x + 0 = x): skip the arithmetic.
        if (_mm_movemask_pd(_mm_cmpneq_pd(gain, target)) != 0) {
            gain = simd::flush(
                _mm_add_pd(gain, _mm_mul_pd(_mm_sub_pd(target, gain), simd::splat(kGlide))));
        }
        elapsedMs += msPerSample;
        if (elapsedMs >= refreshAtMs) [[unlikely]] {
            st.lastRefreshMs = elapsedMs;
            refreshAtMs = elapsedMs + kRefreshMs;
            refresh(st); // recomputes targets, coefficients and msPerSample into st
            reloadCoefficients(st);
        }
    }

    void save(KernelState& st) const {
        st.gain[0] = simd::first(gain);
        st.gain[1] = simd::second(gain);
        st.elapsedMs = elapsedMs;
    }
};

inline void saveMeters(const simd::MeterPair& p, MeterAccumulators& m, int first, int second) {
    m.envelope[first] = simd::first(p.envelope);
    m.peak[first] = simd::first(p.peak);
    m.sum[first] = simd::first(p.sum);
    m.envelope[second] = simd::second(p.envelope);
    m.peak[second] = simd::second(p.peak);
    m.sum[second] = simd::second(p.sum);
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
    MeterAccumulators& m = st.meters;
    detail::Glide g(st);
    simd::MeterPair in{simd::pair(m.envelope[kInLeft], m.envelope[kInRight]),
                       simd::pair(m.peak[kInLeft], m.peak[kInRight]),
                       simd::pair(m.sum[kInLeft], m.sum[kInRight])};
    simd::MeterPair out{simd::pair(m.envelope[kOutLeft], m.envelope[kOutRight]),
                        simd::pair(m.peak[kOutLeft], m.peak[kOutRight]),
                        simd::pair(m.sum[kOutLeft], m.sum[kOutRight])};
    for (int i = 0; i < frames; ++i) {
        g.tick(st, refresh);
        simd::Pair x = simd::pair(static_cast<double>(inL[i]), static_cast<double>(inR[i]));
        in.update(x, g.meter);
        simd::Pair o = simd::flush(_mm_mul_pd(x, g.gain));
        out.update(o, g.meter);
        detail::store(outL[i], simd::first(o), mode);
        detail::store(outR[i], simd::second(o), mode);
    }
    g.save(st);
    m.count += static_cast<std::uint64_t>(frames);
    detail::saveMeters(in, m, kInLeft, kInRight);
    detail::saveMeters(out, m, kOutLeft, kOutRight);
}

// Mono kernel on channel 0: the input-left and output-left meters share one pair; the
// right-hand meter channels stay untouched.
template <Write mode, class Sample, class Refresh>
void monoKernel(Sample* const* inputs, Sample* const* outputs, int frames, KernelState& st,
                Refresh& refresh) {
    const Sample* in = inputs[0];
    Sample* out = outputs[0];
    MeterAccumulators& m = st.meters;
    detail::Glide g(st);
    simd::MeterPair meter{simd::pair(m.envelope[kInLeft], m.envelope[kOutLeft]),
                          simd::pair(m.peak[kInLeft], m.peak[kOutLeft]),
                          simd::pair(m.sum[kInLeft], m.sum[kOutLeft])};
    for (int i = 0; i < frames; ++i) {
        g.tick(st, refresh);
        double x = static_cast<double>(in[i]);
        double o = simd::first(simd::flush(_mm_set_sd(x * simd::first(g.gain))));
        meter.update(simd::pair(x, o), g.meter);
        detail::store(out[i], o, mode);
    }
    g.save(st);
    m.count += static_cast<std::uint64_t>(frames);
    detail::saveMeters(meter, m, kInLeft, kOutLeft);
}

} // namespace kavet
