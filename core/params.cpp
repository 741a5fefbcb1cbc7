#include "params.h"

#include "base/contract.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace kavet {

double trimRangeDb(int trimRangeWord) {
    static constexpr double kRanges[3] = {12.0, 24.0, 36.0};
    return kRanges[((trimRangeWord % 3) + 3) % 3]; // as sanitizePrefWord takes the word
}

double gainToValue(double linear) {
    if (linear == 0.0) return 0.0;
    return std::cbrt(linear * 0.125);
}

float trimLaw(float v, double rangeDb) {
    return static_cast<float>(std::pow(10.0, (2.0 * v - 1.0) * rangeDb * 0.05));
}

double trimToValue(double db, double rangeDb) {
    return (db + rangeDb) / (2.0 * rangeDb);
}

double panToValue(double percent) {
    return (percent + 100.0) * 0.005;
}

float displayFromValue(int index, float value, double trimRangeDb) {
    switch (kParamInfo[index].law) {
    case ParamLaw::Gain:
        return gainLaw(value);
    case ParamLaw::Trim:
        return trimLaw(value, trimRangeDb);
    case ParamLaw::Pan:
    case ParamLaw::Switch:
        break;
    }
    return value;
}

double plainFromValue(int index, float value, double trimRangeDb) {
    switch (kParamInfo[index].law) {
    case ParamLaw::Gain:
        return 20.0 * std::log10(static_cast<double>(gainLaw(value))); // −inf at 0
    case ParamLaw::Trim:
        return (2.0 * value - 1.0) * trimRangeDb;
    case ParamLaw::Pan:
        return value / 0.005 - 100.0;
    case ParamLaw::Switch:
        break;
    }
    return switchIsOn(value) ? 1.0 : 0.0;
}

double valueFromPlain(int index, double plain, double trimRangeDb) {
    switch (kParamInfo[index].law) {
    case ParamLaw::Gain:
        return gainToValue(std::pow(10.0, plain / 20.0)); // −inf gives 0
    case ParamLaw::Trim:
        return trimToValue(plain, trimRangeDb);
    case ParamLaw::Pan:
        return panToValue(plain);
    case ParamLaw::Switch:
        break;
    }
    return plain >= 0.5 ? 1.0 : 0.0;
}

PlainRange plainRange(int index, double trimRangeDb) {
    switch (kParamInfo[index].law) {
    case ParamLaw::Gain:
        return {-HUGE_VAL, kMaxGainDb};
    case ParamLaw::Trim:
        return {-trimRangeDb, trimRangeDb};
    case ParamLaw::Pan:
        return {-100.0, 100.0};
    case ParamLaw::Switch:
        break;
    }
    return {0.0, 1.0};
}

bool clampNormalised(float in, float& out) {
    if (std::isnan(in)) return false;
    if (in < 0.0f) in = 0.0f;
    if (in > 1.0f) in = 1.0f;
    out = in == 0.0f ? 0.0f : in; // -0 becomes +0
    return true;
}

static void formatLevel(float x, char* out) {
    if (x <= 0.0f) {
        std::snprintf(out, kDisplayTextSize, "-oo");
    } else if (std::fabs(x - 1.0) < 0.0005) {
        std::snprintf(out, kDisplayTextSize, "0");
    } else {
        std::snprintf(out, kDisplayTextSize, "%6.2f", 20.0 * std::log10(static_cast<double>(x)));
    }
}

static void formatPan(float x, char* out) {
    if (std::fabs(x - 0.5) < 0.0025) {
        std::snprintf(out, kDisplayTextSize, "0");
    } else if (x >= 0.9975f) {
        std::snprintf(out, kDisplayTextSize, "  100R");
    } else {
        bool right = x > 0.5f;
        std::snprintf(out, kDisplayTextSize, "%c%3.0f %c", right ? ' ' : 'L',
                      std::fabs((x - 0.5) * 200.0), right ? 'R' : ' ');
    }
}

void formatDisplay(int index, float display, char* out) {
    switch (index) {
    case kGain:
    case kTrim:
        formatLevel(display, out);
        return;
    case kPhase:
    case kMute:
    case kBypass: {
        const ParamInfo& p = kParamInfo[index];
        std::snprintf(out, kDisplayTextSize, "%s", switchIsOn(display) ? p.onText : p.offText);
        return;
    }
    case kPan:
        formatPan(display, out);
        return;
    default:
        // Every caller answers an index out of range before it asks for a text.
        out[0] = '\0';
        KAVET_EXPECT(index >= kGain && index <= kPan);
        return;
    }
}

double panValueFromText(const char* text) {
    // Digits past this many cannot change the clamped result; stop before int overflow.
    constexpr int kMaxNumber = 1000000;
    bool left = false;
    bool inDigits = false;
    bool digitsDone = false;
    int n = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (!digitsDone && std::isdigit(c)) {
            inDigits = true;
            if (n < kMaxNumber) n = n * 10 + (c - '0');
            continue;
        }
        if (inDigits) digitsDone = true;
        if (std::tolower(c) == 'l') left = true;
    }
    double v = (n + 100) * 0.005;
    return left ? 1.0 - v : v;
}

float readDecibels(const char* text) {
    float d = 0.0f;
    if (std::sscanf(text, "%f", &d) != 1) d = 0.0f;
    return d;
}

double valueFromText(int index, const char* text, double trimRangeDb) {
    switch (kParamInfo[index].law) {
    case ParamLaw::Gain:
        // The level becomes a single-precision factor first, as the effect's gain control
        // value is.
        return gainToValue(static_cast<float>(std::pow(10.0, 0.05 * readDecibels(text))));
    case ParamLaw::Trim:
        return static_cast<float>(trimToValue(readDecibels(text), trimRangeDb));
    case ParamLaw::Pan:
        return static_cast<float>(panValueFromText(text));
    case ParamLaw::Switch:
        break;
    }
    return 0.0; // any text switches a switch off
}

namespace {

bool sameLetters(const char* a, const char* b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (lower(*a) != lower(*b)) return false;
    return *a == *b;
}

} // namespace

double valueFromHostText(int index, const char* text, double trimRangeDb) {
    while (*text == ' ')
        ++text;
    char trimmed[kDisplayTextSize];
    std::size_t length = 0;
    for (; text[length] != '\0' && length + 1 < sizeof trimmed; ++length)
        trimmed[length] = text[length];
    while (length > 0 && trimmed[length - 1] == ' ')
        --length;
    trimmed[length] = '\0';
    const ParamInfo& info = kParamInfo[index];
    if (info.kind == ParamKind::Switch) {
        if (sameLetters(trimmed, info.onText)) return 1.0;
        if (sameLetters(trimmed, info.offText)) return 0.0;
    }
    if (info.law == ParamLaw::Gain) {
        // The editor's parser finds no number in the text for silence and would answer 0 dB.
        char silence[kDisplayTextSize];
        formatDisplay(index, displayFromValue(index, 0.0f, trimRangeDb), silence);
        const char* shown = silence;
        while (*shown == ' ')
            ++shown;
        std::size_t shownLength = std::strlen(shown);
        while (shownLength > 0 && shown[shownLength - 1] == ' ')
            --shownLength;
        if (length == shownLength && std::strncmp(trimmed, shown, length) == 0) return 0.0;
    }
    return valueFromText(index, text, trimRangeDb);
}

} // namespace kavet
