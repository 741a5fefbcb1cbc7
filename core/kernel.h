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
    Pair attack, release, riseAbove, fallFloor;
    explicit Coefficients(const MeterCoefficients& c)
        : attack(splat(c.attack)), release(splat(c.release)),
          // The largest double below the rise floor (the floor is positive, so one step
          // down its bit pattern): m >= floor exactly when m > this.
          riseAbove(_mm_castsi128_pd(
              _mm_sub_epi64(_mm_castpd_si128(splat(c.riseFloor)), _mm_set1_epi64x(1)))),
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
// only from 0 (where it is m * attack, flushed exactly when m is below the rise floor) and
// a fall only when the envelope is below the release coefficient's floor. A rise from 0
// that would be flushed is taken as a fall instead, which gives the same 0 (release * 0,
// dropped). Likewise the sum never decreases: only s * s added to 0 can be flushed.
//
// The selects are masks (SSE2 has no blend): the envelope's chain is subtract, multiply,
// add, and, or; the masks and the fall are ready before the rise is.
struct MeterPair {
    Pair envelope, peak, sum;

    void update(Pair s, const Coefficients& k) {
        const Pair zero = _mm_setzero_pd();
        const Pair m = magnitude(s);
        // A rise is m > envelope, or m >= the rise floor from 0: one compare against the
        // envelope, or (its bits being 0) the threshold below the floor. A NaN sample
        // compares false: it counts as a fall.
        const Pair threshold =
            _mm_or_pd(envelope, _mm_and_pd(_mm_cmpeq_pd(envelope, zero), k.riseAbove));
        const Pair up = _mm_cmpgt_pd(m, threshold);
        const Pair fallDropped = _mm_or_pd(up, _mm_cmplt_pd(envelope, k.fallFloor));
        const Pair rise = _mm_add_pd(_mm_mul_pd(_mm_sub_pd(m, envelope), k.attack), envelope);
        const Pair fall = _mm_mul_pd(k.release, envelope);
        envelope = _mm_or_pd(_mm_and_pd(rise, up), _mm_andnot_pd(fallDropped, fall));
        peak = _mm_max_pd(envelope, peak); // envelope > peak ? envelope : peak
        const Pair square = _mm_mul_pd(s, s);
        const Pair sumFlushed =
            _mm_and_pd(_mm_cmpeq_pd(sum, zero), _mm_cmplt_pd(square, splat(0x1p-1021)));
        sum = _mm_andnot_pd(sumFlushed, _mm_add_pd(sum, square));
    }
};

} // namespace simd

namespace detail {

// Output of one frame: both lanes rounded to the host's type (one conversion for the pair
// in float; the same rounding as one lane at a time), added to what is there in the
// accumulating form.
template <Write mode> inline void store(float* left, float* right, simd::Pair value) {
    if constexpr (mode == Write::Add) {
        value =
            _mm_add_pd(_mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(left), _mm_load_ss(right))), value);
    }
    const __m128 rounded = _mm_cvtpd_ps(value);
    _mm_store_ss(left, rounded);
    _mm_store_ss(right, _mm_shuffle_ps(rounded, rounded, _MM_SHUFFLE(1, 1, 1, 1)));
}

template <Write mode> inline void store(double* left, double* right, simd::Pair value) {
    if constexpr (mode == Write::Add) value = _mm_add_pd(simd::pair(*left, *right), value);
    _mm_storel_pd(left, value);
    _mm_storeh_pd(right, value);
}

template <Write mode, class Sample> inline void store(Sample& out, double value) {
    if constexpr (mode == Write::Add) {
        out = static_cast<Sample>(static_cast<double>(out) + value);
    } else {
        out = static_cast<Sample>(value);
    }
}

inline simd::Pair load(const float* left, const float* right, int i) {
    return _mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(left + i), _mm_load_ss(right + i)));
}
inline simd::Pair load(const double* left, const double* right, int i) {
    return simd::pair(left[i], right[i]);
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

    // Both gains at their targets: every glide step is skipped until the targets change.
    bool settled() const { return _mm_movemask_pd(_mm_cmpneq_pd(gain, target)) == 0; }

    // Step 1 and 2 of a sample: glide 0.5 % of the way and flush. At the target the step is
    // exact (x + 0 = x) and skipped, which also keeps a negative zero gain.
    void glide() {
        if (_mm_movemask_pd(_mm_cmpneq_pd(gain, target)) != 0) {
            gain = simd::flush(
                _mm_add_pd(gain, _mm_mul_pd(_mm_sub_pd(target, gain), simd::splat(kGlide))));
        }
    }

    // Step 3: the clock; true when the refresh is due at this sample.
    bool clock() {
        elapsedMs += msPerSample;
        return elapsedMs >= refreshAtMs;
    }

    // Step 4: targets, coefficients and sample period recomputed into st and taken up.
    template <class Refresh> void refreshNow(KernelState& st, Refresh& refresh) {
        st.lastRefreshMs = elapsedMs;
        refreshAtMs = elapsedMs + kRefreshMs;
        refresh(st);
        target = simd::pair(st.target[0], st.target[1]);
        meter = simd::Coefficients(st.coefficients);
        msPerSample = st.msPerSample;
    }

    void save(KernelState& st) const {
        st.gain[0] = simd::first(gain);
        st.gain[1] = simd::second(gain);
        st.elapsedMs = elapsedMs;
    }
};

// Runs `frame(i)` (the meters and the output of frame i) for every frame, each after steps
// 1 to 4 of its sample. The refresh, a call that every register is lost across, comes
// once in 4 ms; it stays out of the two inner loops, so that the meters' state stays in
// registers within them. Between refreshes the targets are fixed, so gains found at their
// targets stay there and that stretch runs without the glide's test.
template <class Refresh, class Frame>
inline void drive(int frames, Glide& g, KernelState& st, Refresh& refresh, Frame frame) {
    int i = 0;
    for (;;) {
        if (g.settled()) {
            for (; i < frames; ++i) {
                if (g.clock()) [[unlikely]]
                    break;
                frame(i);
            }
        } else {
            for (; i < frames; ++i) {
                g.glide();
                if (g.clock()) [[unlikely]]
                    break;
                frame(i);
            }
        }
        if (i == frames) return;
        g.refreshNow(st, refresh);
        frame(i);
        ++i;
    }
}

inline simd::MeterPair loadMeters(const MeterAccumulators& m, int first, int second) {
    return {simd::pair(m.envelope[first], m.envelope[second]),
            simd::pair(m.peak[first], m.peak[second]), simd::pair(m.sum[first], m.sum[second])};
}

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
    simd::MeterPair in = detail::loadMeters(m, kInLeft, kInRight);
    simd::MeterPair out = detail::loadMeters(m, kOutLeft, kOutRight);
    detail::drive(frames, g, st, refresh, [&](int i) {
        const simd::Pair x = detail::load(inL, inR, i);
        in.update(x, g.meter);
        const simd::Pair o = simd::flush(_mm_mul_pd(x, g.gain));
        out.update(o, g.meter);
        detail::store<mode>(outL + i, outR + i, o);
    });
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
    simd::MeterPair meter = detail::loadMeters(m, kInLeft, kOutLeft);
    detail::drive(frames, g, st, refresh, [&](int i) {
        const double x = static_cast<double>(in[i]);
        const double o = simd::first(simd::flush(_mm_set_sd(x * simd::first(g.gain))));
        meter.update(simd::pair(x, o), g.meter);
        detail::store<mode>(out[i], o);
    });
    g.save(st);
    m.count += static_cast<std::uint64_t>(frames);
    detail::saveMeters(meter, m, kInLeft, kOutLeft);
}

} // namespace kavet
