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

bool sameLetters(const char* a, const char* b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (lower(*a) != lower(*b)) return false;
    return *a == *b;
}

// A switch's own texts read back as its states.
bool switchFromText(int index, const char* text, double& value) {
    const ParamInfo& info = kParamInfo[index];
    if (info.kind != ParamKind::Switch) return false;
    if (sameLetters(text, info.onText))
        value = 1.0;
    else if (sameLetters(text, info.offText))
        value = 0.0;
    else
        return false;
    return true;
}

// The gain's own text for silence ("-oo", spaces around it allowed) reads back as silence:
// the editor's parser finds no number in it and would answer 0 dB.
bool silenceFromText(int index, const char* text, double& value) {
    if (kParamInfo[index].law != ParamLaw::Gain) return false;
    char silence[kDisplayTextSize];
    formatDisplay(index, displayFromValue(index, 0.0f, 0.0), silence);
    while (*text == ' ')
        ++text;
    const std::size_t length = std::strlen(silence);
    if (std::strncmp(text, silence, length) != 0) return false;
    for (text += length; *text == ' '; ++text) {
    }
    if (*text != '\0') return false;
    value = 0.0;
    return true;
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
    if (!switchFromText(index, text, asked) && !silenceFromText(index, text, asked))
        asked = valueFromText(index, text, trimRangeDb);
    float stored;
    if (!clampNormalised(static_cast<float>(asked), stored)) return false;
    value = stored;
    return true;
}

} // namespace kavet::clapplugin
