#include "param_text.h"

#include "core/params.h"

#include <cstring>

namespace kavet::clapplugin {

namespace {

bool validId(clap::Id id) {
    return id < static_cast<clap::Id>(kNumParams);
}

void copyName(char* out, const char* text, std::size_t capacity) {
    std::strncpy(out, text, capacity - 1);
    out[capacity - 1] = '\0';
}

} // namespace

bool describeParam(clap::uint32 index, clap::ParamInfo& info) {
    if (!validId(index)) return false;
    const ParamInfo& p = kParamInfo[index];
    std::memset(&info, 0, sizeof info);
    info.id = index;
    info.flags = clap::kParamIsAutomatable;
    if (p.kind == ParamKind::Switch) info.flags |= clap::kParamIsStepped;
    if (index == kBypass) info.flags |= clap::kParamIsBypass;
    info.cookie = nullptr;
    copyName(info.name, p.name, sizeof info.name);
    info.module[0] = '\0';
    info.min_value = 0.0;
    info.max_value = 1.0;
    info.default_value = p.defaultValue;
    return true;
}

bool paramValueToText(clap::Id id, double value, double trimRangeDb, char* out,
                      clap::uint32 capacity) {
    float stored;
    if (!validId(id) || out == nullptr || capacity == 0 ||
        !clampNormalised(static_cast<float>(value), stored))
        return false;
    const int index = static_cast<int>(id);
    char text[kDisplayTextSize];
    formatDisplay(index, displayFromValue(index, stored, trimRangeDb), text);
    copyName(out, text, capacity);
    return true;
}

bool paramTextToValue(clap::Id id, const char* text, double trimRangeDb, double& value) {
    if (!validId(id) || text == nullptr) return false;
    const int index = static_cast<int>(id);
    double asked = 0.0;
    asked = valueFromHostText(index, text, trimRangeDb);
    float stored;
    if (!clampNormalised(static_cast<float>(asked), stored)) return false;
    value = stored;
    return true;
}

} // namespace kavet::clapplugin
