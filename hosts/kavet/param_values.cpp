#include "param_values.h"

#include <algorithm>
#include <cmath>

namespace kavet::cli {

const char* paramName(int index) {
    static const char* const names[] = {"Gain", "Trim", "Phase", "Mute", "Bypass", "Pan"};
    return index >= 0 && index <= kPan ? names[index] : "";
}

float gainToNormalised(double db) {
    if (std::isinf(db) && db < 0) return 0.0f;
    const double linear = std::pow(10.0, db / 20.0);
    return static_cast<float>(std::min(1.0, std::cbrt(linear / 8.0)));
}

float trimToNormalised(double db) {
    return static_cast<float>((db + kTrimRangeDb) / (2.0 * kTrimRangeDb));
}

float panToNormalised(double percent) {
    return static_cast<float>(0.5 + percent / 200.0);
}

} // namespace kavet::cli
