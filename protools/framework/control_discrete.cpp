#include "control_discrete.h"

#include "fic_types.h"

#include <cctype>
#include <cstdlib>

namespace {

bool SameIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

} // namespace

CPluginControl_Discrete::CPluginControl_Discrete(ptfw::OSType id, const char* name,
                                                 std::vector<std::string> texts, long defaultValue,
                                                 bool automatable)
    : CPluginControl(id, name, automatable), texts_(std::move(texts)) {
    if (texts_.empty()) texts_.push_back("");
    InitValue(ConvertDiscreteToControl(defaultValue));
}

std::int32_t CPluginControl_Discrete::ClampControlValue(std::int32_t value) const {
    const auto top = static_cast<std::int32_t>(texts_.size()) - 1;
    return value < 0 ? 0 : value > top ? top : value;
}

std::int32_t CPluginControl_Discrete::ConvertDiscreteToControl(long value) const {
    const long top = static_cast<long>(texts_.size()) - 1;
    return static_cast<std::int32_t>(value < 0 ? 0 : value > top ? top : value);
}

long CPluginControl_Discrete::ConvertControlToDiscrete(std::int32_t control) const {
    return ClampControlValue(control);
}

void CPluginControl_Discrete::GetValueString(std::int32_t value, char* text,
                                             std::size_t size) const {
    ptfw::CopyField(text, size, texts_[static_cast<std::size_t>(ClampControlValue(value))].c_str());
}

bool CPluginControl_Discrete::GetValueFromString(const char* text, std::int32_t* value) const {
    if (text == nullptr || value == nullptr) return false;
    for (std::size_t i = 0; i < texts_.size(); ++i)
        if (SameIgnoringCase(text, texts_[i].c_str())) {
            *value = static_cast<std::int32_t>(i);
            return true;
        }
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end == text) return false;
    *value = ConvertDiscreteToControl(n);
    return true;
}

CPluginControl_OnOff::CPluginControl_OnOff(ptfw::OSType id, const char* name, bool defaultOn,
                                           bool automatable, const char* offText,
                                           const char* onText)
    : CPluginControl_Discrete(id, name, {offText ? offText : "", onText ? onText : ""},
                              defaultOn ? 1 : 0, automatable) {}
