// The flush rule: a 64-bit value whose 11-bit exponent field is 0 or 1 (magnitude below
// 2^-1021) is replaced by 0, so decaying gains, samples and meter states never become
// subnormal (which stalls x86 arithmetic).
#pragma once

namespace kavet::dsp {

inline constexpr double kFlushBelow = 0x1p-1021;

inline double flushTiny(double x) {
    // Branch-free: compiles to a compare and a mask on x86. NaN compares false and is kept.
    double magnitude = x < 0.0 ? -x : x;
    return magnitude < kFlushBelow ? 0.0 : x;
}

} // namespace kavet::dsp
