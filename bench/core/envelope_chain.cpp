#include "envelope_chain.h"

#include "core/kernel.h"

__attribute__((noinline)) double envelopeChain(const double* left, const double* right, int frames,
                                               const kavet::MeterCoefficients& coefficients) {
    const kavet::simd::Coefficients k(coefficients);
    const kavet::simd::Pair zero = _mm_setzero_pd();
    kavet::simd::MeterPair meter{zero, zero, zero};
    for (int i = 0; i < frames; ++i)
        meter.update(kavet::simd::pair(left[i], right[i]), k);
    return kavet::simd::first(meter.envelope) + kavet::simd::first(meter.peak) +
           kavet::simd::first(meter.sum);
}
