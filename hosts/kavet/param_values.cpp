#include "param_values.h"

#include <algorithm>

namespace kavet::cli {

const char* paramName(int index) {
    return index >= 0 && index <= kPan ? kParamInfo[index].name : "";
}

float toNormalised(int index, double plain, double trimRangeDb) {
    return static_cast<float>(std::clamp(valueFromPlain(index, plain, trimRangeDb), 0.0, 1.0));
}

} // namespace kavet::cli
