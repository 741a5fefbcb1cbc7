// The parameter model: names, labels, defaults, the gain and trim laws, display texts and
// the conversions from typed text. Pure functions, [any thread]; the effect keeps the state.
#pragma once

#include "config.h"

#include <cstddef>

namespace kavet {

struct ParamInfo {
    const char* name;
    const char* label;
    float defaultValue;
    float initialDisplay;
};

inline constexpr ParamInfo kParamInfo[6] = {
    {"Gain", "dB", 0.5f, 1.0f},           {"Trim", "dB", 0.5f, 1.0f},
    {"Phase", "(Norm/Flip)", 0.0f, 0.0f}, {"Mute", "(Thru/Mute)", 0.0f, 0.0f},
    {"Bypass", "(Off/On)", 0.0f, 0.0f},   {"Pan", "L->R", 0.5f, 0.5f},
};

inline constexpr bool isValidParam(int index) {
    return index >= 0 && index < kNumParams;
}

// A switch parameter (Phase, Mute, Bypass) is on from 0.5 up.
inline constexpr bool switchIsOn(float value) {
    return value >= 0.5f;
}

// Trim range in dB for preference word 2 (taken modulo 3; negative words count as 0).
double trimRangeDb(int trimRangeWord);

// Gain law: linear factor 8·v³ of the fader (0 → silence, 0.5 → unity, 1 → +18.06 dB),
// computed in single precision.
float gainLaw(float v);

// Trim law: 10^((2v − 1)·R/20), linear in dB from −R to +R.
float trimLaw(float v, double rangeDb);

// Normalised fader value for a linear gain: 0 for 0, else (g/8)^(1/3). Not clamped.
double gainToValue(double linear);

// Clamp to 0..1; NaN is reported as not a number so callers can keep the old value.
// A negative zero becomes +0, so stored values and chunks never hold a negative zero.
[[nodiscard]] bool clampNormalised(float in, float& out);

// Display text of a parameter from its display value, at most 7 characters plus the
// terminator. `out` must hold kDisplayTextSize bytes; `index` must be 0 to 5 (a broken
// contract answers an empty text).
inline constexpr std::size_t kDisplayTextSize = 32;
void formatDisplay(int index, float display, char* out);

// The number a pan text asks for, as a normalised value before clamping: the first run of
// digits n gives (n + 100)·0.005, mirrored when an 'l' stands before or after the run.
double panValueFromText(const char* text);

// A level in dB read as "%f" (0 when no number can be read).
float readDecibels(const char* text);

} // namespace kavet
