// The parameter table: for each parameter its name, label, default, kind, step count and
// law, and the conversions between the normalised value and the plain value (dB, pan
// percent, switch state), the display texts and the readings of typed text. Every layer
// that names, shows or converts a parameter reads this file; no law is written elsewhere.
// Pure functions, [any thread]; the effect keeps the state (core/param_state.h).
#pragma once

#include "config.h"

#include <cstddef>

namespace kavet {

// How a parameter moves: a continuous range, or a switch with two states.
enum class ParamKind { Continuous, Switch };

// Which law turns the normalised value into the value the signal path uses.
enum class ParamLaw { Gain, Trim, Pan, Switch };

struct ParamInfo {
    const char* name;
    const char* label;
    float defaultValue; // normalised
    ParamKind kind;
    ParamLaw law;
    int stepCount;       // 0 continuous; a switch has 1 step between its two states
    const char* offText; // display texts of a switch's two states
    const char* onText;
};

inline constexpr ParamInfo kParamInfo[6] = {
    {"Gain", "dB", 0.5f, ParamKind::Continuous, ParamLaw::Gain, 0, nullptr, nullptr},
    {"Trim", "dB", 0.5f, ParamKind::Continuous, ParamLaw::Trim, 0, nullptr, nullptr},
    {"Phase", "(Norm/Flip)", 0.0f, ParamKind::Switch, ParamLaw::Switch, 1, "Norm", "Flip"},
    {"Mute", "(Thru/Mute)", 0.0f, ParamKind::Switch, ParamLaw::Switch, 1, "Thru", "Mute"},
    {"Bypass", "(Off/On)", 0.0f, ParamKind::Switch, ParamLaw::Switch, 1, "Off", "On"},
    {"Pan", "L->R", 0.5f, ParamKind::Continuous, ParamLaw::Pan, 0, nullptr, nullptr},
};

inline constexpr bool isValidParam(int index) {
    return index >= 0 && index < kNumParams;
}

// A switch parameter (Phase, Mute, Bypass) is on from 0.5 up: the signal path, the display
// text and the editor's switches all take this rule.
inline constexpr bool switchIsOn(float value) {
    return value >= 0.5f;
}

// Trim range in dB for preference word 2 (taken modulo 3; negative words count as 0).
double trimRangeDb(int trimRangeWord);

// Gain law: linear factor 8·v³ of the fader (0 → silence, 0.5 → unity, 1 → +18.06 dB). The
// effect computes it in single precision; the host-format control's travel in double.
template <class T> constexpr T gainLaw(T v) {
    return T(8) * v * v * v;
}
inline constexpr double kMaxGainDb = 18.061799739838872; // 20·log10(8), the fader's top

// Normalised fader value for a linear gain: 0 for 0, else the cube root of g/8 (exact cubes
// stay exact: unity gives 0.5). Not clamped.
double gainToValue(double linear);

// Trim law: 10^((2v − 1)·R/20), linear in dB from −R to +R; and its inverse from dB.
float trimLaw(float v, double rangeDb);
double trimToValue(double db, double rangeDb);

// Pan: percent of one side, negative to the left (−100 full left, 0 centre, 100 full right),
// to the normalised position (p + 100)·0.005. Not clamped.
double panToValue(double percent);

// The value the signal path and the displays use (the display value): the gain and trim
// factors, the pan position and the switches as their values. `index` must be valid.
float displayFromValue(int index, float value, double trimRangeDb);

// Plain values as users give them: gain and trim in dB (−inf for silence), pan in percent
// (negative left), a switch 0 or 1 by the rule above; and back (not clamped).
double plainFromValue(int index, float value, double trimRangeDb);
double valueFromPlain(int index, double plain, double trimRangeDb);
// The plain range of a parameter (the gain's bottom is −inf).
struct PlainRange {
    double min, max;
};
PlainRange plainRange(int index, double trimRangeDb);

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

// The normalised value that typed text asks for, before clamping: gain and trim as dB
// (the trim in the range `trimRangeDb`), pan as panValueFromText; any text switches a
// switch off.
double valueFromText(int index, const char* text, double trimRangeDb);

// The normalised value a host's text asks for (a host's text field for a parameter), before
// clamping: a switch's own display texts read back as its states and the gain's text for
// silence ("-oo") as silence, whatever the case and the spaces around them; any other text as
// valueFromText reads it.
double valueFromHostText(int index, const char* text, double trimRangeDb);

} // namespace kavet
