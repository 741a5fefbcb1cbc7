// The effect's parameters as the command line sets them: the index of each, and the
// conversion of the user's units to the normalised value 0..1 that setParameter takes.
#pragma once

#include <string>

namespace kavet::cli {

enum ParamIndex : int { kGain = 0, kTrim = 1, kPhase = 2, kMute = 3, kBypass = 4, kPan = 5 };

// The name the effect reports for `index` (checked before a value is set).
const char* paramName(int index);

// Fader: linear gain g = 8 v^3, so +18.06 dB (g = 8) is the top and v = 0 is silence.
constexpr double kMaxGainDb = 18.0618;
// Trim: linear in dB over the default trim range of -36..+36 dB.
constexpr double kTrimRangeDb = 36.0;
// Pan: percent of one side, 0 (centre) to 100 (full left or right).
constexpr double kMaxPanPercent = 100.0;

// dB (minus infinity allowed) to v = cbrt(10^(dB/20) / 8), at most 1.
float gainToNormalised(double db);
// dB to v = (dB + 36) / 72.
float trimToNormalised(double db);
// Percent, negative to the left, to v = 0.5 + percent / 200.
float panToNormalised(double percent);

} // namespace kavet::cli
