#include "lv2_port_values.h"

#include "hosts/common/host_error.h"
#include "lv2/ports.h"

#include <cmath>
#include <cstdio>

namespace kavet::cli {

namespace {

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
    return lv2::portFromNormalised(index, normalised, trimRangeDb);
}

} // namespace kavet::cli
