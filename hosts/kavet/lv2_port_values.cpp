#include "lv2_port_values.h"

#include "hosts/common/host_error.h"
#include "lv2/ports.h"

#include <cmath>
#include <cstdio>

namespace kavet::cli {

namespace {

// How many single-precision steps either side of the converted value are tried. The laws
// are smooth and the conversions round once or twice: the exact value, where there is one,
// lies within a step or two.
constexpr int kSearchSteps = 8;

double distance(int index, float plain, float normalised, double trimRangeDb) {
    return std::fabs(static_cast<double>(lv2::normalisedFromPort(index, plain, trimRangeDb)) -
                     static_cast<double>(normalised));
}

[[noreturn]] void belowFloor(double plainDb) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Gain %.2f dB is below the LV2 plug-in's floor of %g dB (at or below it the "
                  "port is silence; -inf asks for silence)",
                  plainDb, lv2::kFloorDb);
    throw host::HostError(text);
}

} // namespace

float portValueFor(int index, float normalised, double trimRangeDb) {
    const bool gain = kParamInfo[index].law == ParamLaw::Gain;
    if (gain && normalised <= 0.0f) return static_cast<float>(lv2::kFloorDb);
    const double plain = plainFromValue(index, normalised, trimRangeDb);
    if (gain && plain <= lv2::kFloorDb) belowFloor(plain);
    // Outward from the converted value, one step each way at a time, until a port value
    // gives the setting back exactly.
    const auto start = static_cast<float>(plain);
    float best = start;
    double bestDistance = HUGE_VAL;
    float up = start, down = start;
    for (int step = 0; step <= kSearchSteps && bestDistance != 0.0; ++step) {
        for (const float candidate : {up, down}) {
            if (gain && candidate <= lv2::kFloorDb) continue; // silence, not this gain
            const double d = distance(index, candidate, normalised, trimRangeDb);
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

} // namespace kavet::cli
