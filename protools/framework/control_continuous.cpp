#include "control_continuous.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr double kHalfScale = 2147483647.0;

// A number at the start of `text` (after blanks); false when there is none.
bool ReadNumber(const char* text, double* out) {
    if (text == nullptr) return false;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || std::isnan(v)) return false;
    *out = v;
    return true;
}

} // namespace

CPluginControl::CPluginControl(ptfw::OSType id, const char* name, bool automatable)
    : id_(id), name_(name ? name : ""), automatable_(automatable) {}

CPluginControl_Continuous::CPluginControl_Continuous(ptfw::OSType id, const char* name, double min,
                                                     double max, double step, double defaultValue,
                                                     bool automatable)
    : CPluginControl(id, name, automatable), min_(min), max_(max), step_(step) {
    // Through the linear mapping: a subclass with its own law sets its default again.
    InitValue(LinearToControl(defaultValue));
}

std::int32_t CPluginControl_Continuous::LinearToControl(double value) const {
    const double range = max_ - min_;
    double f = range > 0.0 ? (value - min_) / range : 0.0;
    if (!(f >= 0.0)) f = 0.0; // also NaN
    if (f > 1.0) f = 1.0;
    return static_cast<std::int32_t>(std::llround((2.0 * f - 1.0) * kHalfScale));
}

double CPluginControl_Continuous::ControlToLinear(std::int32_t control) const {
    double c = static_cast<double>(control);
    if (c < -kHalfScale) c = -kHalfScale;
    const double f = (c / kHalfScale + 1.0) * 0.5;
    return min_ + f * (max_ - min_);
}

std::int32_t CPluginControl_Continuous::ConvertContinuousToControl(double value) const {
    return LinearToControl(value);
}

double CPluginControl_Continuous::ConvertControlToContinuous(std::int32_t control) const {
    return ControlToLinear(control);
}

std::int32_t CPluginControl_Continuous::GetNumSteps() const {
    if (!(step_ > 0.0)) return 1;
    return static_cast<std::int32_t>((max_ - min_) / step_ + 1.0);
}

void CPluginControl_Linear::GetValueString(std::int32_t value, char* text, std::size_t size) const {
    ptfw::FormatWithPrefix(ConvertControlToContinuous(value), GetPrefixRange(), 3, text, size);
}

bool CPluginControl_Linear::GetValueFromString(const char* text, std::int32_t* value) const {
    double v;
    if (value == nullptr || !ReadNumber(text, &v)) return false;
    *value = ConvertContinuousToControl(v);
    return true;
}

void CPluginControl_Gain::GetValueString(std::int32_t value, char* text, std::size_t size) const {
    if (text == nullptr || size == 0) return;
    const double linear = ConvertControlToContinuous(value);
    if (!(linear > 0.0)) {
        std::snprintf(text, size, "-INF dB");
        return;
    }
    char number[32];
    ptfw::FormatWithPrefix(20.0 * std::log10(linear), GetPrefixRange(), 1, number, sizeof number);
    std::snprintf(text, size, "%s dB", number);
}

bool CPluginControl_Gain::GetValueFromString(const char* text, std::int32_t* value) const {
    if (value == nullptr || text == nullptr) return false;
    while (*text == ' ')
        ++text;
    if (std::strncmp(text, "-INF", 4) == 0 || std::strncmp(text, "-inf", 4) == 0) {
        *value = ConvertContinuousToControl(0.0);
        return true;
    }
    double db;
    if (!ReadNumber(text, &db)) return false;
    *value = ConvertContinuousToControl(std::pow(10.0, db / 20.0));
    return true;
}
