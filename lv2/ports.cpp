#include "ports.h"

#include <algorithm>
#include <cmath>

namespace kavet::lv2 {

std::string paramSymbol(int index) {
    std::string symbol = kParamInfo[index].name;
    for (char& c : symbol)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return symbol;
}

PlainRange portRange(int index) {
    PlainRange r = plainRange(index, trimRangeDb(kWidestTrimWord));
    if (kParamInfo[index].law == ParamLaw::Gain) r.min = kFloorDb; // −∞ cannot be written
    return r;
}

double portDefault(int index) {
    return plainFromValue(index, kParamInfo[index].defaultValue, trimRangeDb(kWidestTrimWord));
}

float normalisedFromPort(int index, double plain, double trimRangeDb) {
    if (kParamInfo[index].law == ParamLaw::Gain && plain <= kFloorDb) return 0.0f;
    // As the command-line host converts its options (hosts/kavet/param_values.cpp), so the
    // same plain value gives the same normalised value in both.
    return static_cast<float>(std::clamp(valueFromPlain(index, plain, trimRangeDb), 0.0, 1.0));
}

float portFromNormalised(int index, float value, double trimRangeDb) {
    const bool gain = kParamInfo[index].law == ParamLaw::Gain;
    const double plain = plainFromValue(index, value, trimRangeDb);
    if (gain && !(plain > kFloorDb)) return static_cast<float>(kFloorDb);
    // Outward from the converted value, one single-precision step each way at a time, until
    // a port value gives `value` back exactly. The laws are smooth and the conversions round
    // once or twice: the exact value, where there is one, lies within a step or two.
    constexpr int kSearchSteps = 8;
    const auto start = static_cast<float>(plain);
    float best = start;
    double bestDistance = HUGE_VAL;
    float up = start, down = start;
    for (int step = 0; step <= kSearchSteps && bestDistance != 0.0; ++step) {
        for (const float candidate : {up, down}) {
            if (gain && candidate <= kFloorDb) continue; // silence, not this gain
            const double d =
                std::fabs(static_cast<double>(normalisedFromPort(index, candidate, trimRangeDb)) -
                          static_cast<double>(value));
            if (d < bestDistance) {
                best = candidate;
                bestDistance = d;
            }
        }
        up = std::nextafter(up, HUGE_VALF);
        down = std::nextafter(down, -HUGE_VALF);
    }
    return best;
}

float meterDb(double linear) {
    // 10^(−90/20): below it (and for 0) the floor; the comparison also sends a NaN there.
    constexpr double kFloorLinear = 3.1622776601683795e-05;
    if (!(linear > kFloorLinear)) return static_cast<float>(kFloorDb);
    return static_cast<float>(20.0 * std::log10(linear));
}

} // namespace kavet::lv2
