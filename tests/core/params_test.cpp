// Parameter values, laws, display texts and the conversions from text and control values.
#include "core/params.h"
#include "host_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace kavet::test {
namespace {

// A host's typed text: a switch's own texts and the gain's text for silence in any case
// and with spaces around them; everything else as the editor's fields read it.
TEST(Parameters, HostTextsReadAsTheirValues) {
    struct Row {
        int index;
        const char* text;
        double expected;
    };
    const Row rows[] = {
        {kPhase, "Flip", 1.0},
        {kPhase, " flip ", 1.0},
        {kPhase, "NORM", 0.0},
        {kMute, "Mute", 1.0},
        {kMute, "Thru", 0.0},
        {kBypass, "On", 1.0},
        {kBypass, "off", 0.0},
        {kPhase, "Flipped", valueFromText(kPhase, "Flipped", 36.0)},
        {kGain, "-oo", 0.0},
        {kGain, "  -oo ", 0.0},
        {kGain, "0", valueFromText(kGain, "0", 36.0)},
        {kGain, "-oo1", valueFromText(kGain, "-oo1", 36.0)},
        {kTrim, "-6", valueFromText(kTrim, "-6", 36.0)},
    };
    for (const Row& r : rows)
        EXPECT_EQ(valueFromHostText(r.index, r.text, 36.0), r.expected)
            << "parameter " << r.index << ", \"" << r.text << "\"";
    EXPECT_NEAR(valueFromHostText(kGain, "0", 36.0), 0.5, 1e-6); // unity, not silence
}

TEST(Parameters, NamesAndLabels) {
    EffectHandle fx;
    const char* names[] = {"Gain", "Trim", "Phase", "Mute", "Bypass", "Pan"};
    const char* labels[] = {"dB", "dB", "(Norm/Flip)", "(Thru/Mute)", "(Off/On)", "L->R"};
    for (int i = 0; i < kNumParams; ++i) {
        char text[64];
        std::memset(text, '#', sizeof text);
        fx.dispatch(effGetParamName, i, 0, text);
        EXPECT_STREQ(text, names[i]);
        EXPECT_EQ(text[std::strlen(names[i]) + 1], '#') << "written past the terminator";
        fx.dispatch(effGetParamLabel, i, 0, text);
        EXPECT_STREQ(text, labels[i]);
    }
}

TEST(Parameters, DefaultsAndInitialDisplays) {
    EffectHandle fx;
    const float defaults[] = {0.5f, 0.5f, 0.0f, 0.0f, 0.0f, 0.5f};
    const char* displays[] = {"0", "0", "Norm", "Thru", "Off", "0"};
    for (int i = 0; i < kNumParams; ++i) {
        EXPECT_EQ(fx.plug().getParameter(i), defaults[i]);
        EXPECT_EQ(fx.plug().getParameterDefault(i), defaults[i]);
        EXPECT_EQ(fx.display(i), displays[i]) << "parameter " << i;
    }
}

TEST(Parameters, OutOfRangeIndexChangesNothing) {
    EffectHandle fx;
    for (int index : {-1, kNumParams, 7, 1000}) {
        fx.plug().setParameter(index, 0.3f);
        EXPECT_EQ(fx.plug().getParameter(index), 0.0f);
        EXPECT_EQ(fx.plug().getParameterDefault(index), 0.0f);
        EXPECT_EQ(fx.plug().getControlValue(index), 0.0f);
        char text[16];
        std::strcpy(text, "same");
        fx.dispatch(effGetParamDisplay, index, 0, text);
        fx.dispatch(effGetParamName, index, 0, text);
        EXPECT_STREQ(text, "same");
    }
    for (int i = 0; i < kNumParams; ++i) {
        EXPECT_EQ(fx.plug().getParameter(i), fx.plug().getParameterDefault(i));
    }
}

TEST(Parameters, ValuesAreClampedAndNanIsRefused) {
    EffectHandle fx;
    struct Case {
        float in;
        float stored;
    };
    const Case cases[] = {{1.5f, 1.0f},
                          {-0.5f, 0.0f},
                          {0.25f, 0.25f},
                          {1.0f, 1.0f},
                          {std::numeric_limits<float>::infinity(), 1.0f},
                          {-std::numeric_limits<float>::infinity(), 0.0f}};
    for (const Case& c : cases) {
        fx.plug().setParameter(kTrim, c.in);
        EXPECT_EQ(fx.plug().getParameter(kTrim), c.stored) << c.in;
    }
    fx.plug().setParameter(kTrim, 0.75f);
    fx.plug().setParameter(kTrim, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(fx.plug().getParameter(kTrim), 0.75f);
}

TEST(Parameters, NegativeZeroIsStoredAsPositiveZero) {
    EffectHandle fx;
    fx.plug().setParameter(kGain, -0.0f);
    EXPECT_FALSE(std::signbit(fx.plug().getParameter(kGain)));
}

TEST(Parameters, GainDisplayTexts) {
    EffectHandle fx;
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {
        {1.5f, " 18.06"}, {1.0f, " 18.06"},  {0.5f, "0"},      {0.25f, "-18.06"},
        {0.0f, "-oo"},    {0.75f, " 10.57"}, {0.1f, "-41.94"},
    };
    for (const Case& c : cases) {
        fx.plug().setParameter(kGain, c.value);
        EXPECT_EQ(fx.display(kGain), c.text) << c.value;
    }
}

TEST(Parameters, UnityReadsZeroOnlyWithinHalfAThousandth) {
    char text[kDisplayTextSize];
    formatDisplay(kGain, 0.99951f, text);
    EXPECT_STREQ(text, "0");
    formatDisplay(kGain, 1.00049f, text);
    EXPECT_STREQ(text, "0");
    formatDisplay(kGain, 1.0006f, text);
    EXPECT_STREQ(text, "  0.01");
    formatDisplay(kGain, 0.9995f, text);
    EXPECT_STREQ(text, " -0.00");
}

// Every law both ways: normalised value → plain value (dB, pan percent, switch state) →
// normalised value, with the display value the signal path takes, at the ends, the unity
// points and the steps. `back` is the value the plain value leads back to.
TEST(Parameters, LawsBothWays) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    struct Case {
        int index;
        double range; // trim range in dB
        float value;
        double plain;
        float display;
        float back;
    };
    const Case cases[] = {
        {kGain, 36, 0.0f, -kInf, 0.0f, 0.0f},
        {kGain, 36, 0.5f, 0.0, 1.0f, 0.5f},
        {kGain, 36, 0.25f, -18.061799739838872, 0.125f, 0.25f},
        {kGain, 36, 1.0f, kMaxGainDb, 8.0f, 1.0f},
        {kTrim, 12, 0.0f, -12.0, 0.25118864f, 0.0f},
        {kTrim, 24, 0.5f, 0.0, 1.0f, 0.5f},
        {kTrim, 36, 0.25f, -18.0, 0.12589253f, 0.25f},
        {kTrim, 36, 1.0f, 36.0, 63.095734f, 1.0f},
        {kPhase, 36, 0.0f, 0.0, 0.0f, 0.0f},
        {kMute, 36, 0.49f, 0.0, 0.49f, 0.0f},
        {kBypass, 36, 0.5f, 1.0, 0.5f, 1.0f},
        {kMute, 36, 1.0f, 1.0, 1.0f, 1.0f},
        {kPan, 36, 0.0f, -100.0, 0.0f, 0.0f},
        {kPan, 36, 0.5f, 0.0, 0.5f, 0.5f},
        {kPan, 36, 0.25f, -50.0, 0.25f, 0.25f},
        {kPan, 36, 1.0f, 100.0, 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << kParamInfo[c.index].name << " at " << c.value);
        EXPECT_EQ(displayFromValue(c.index, c.value, c.range), c.display);
        const double plain = plainFromValue(c.index, c.value, c.range);
        if (std::isinf(c.plain)) {
            EXPECT_EQ(plain, c.plain);
        } else {
            EXPECT_NEAR(plain, c.plain, 1e-9);
        }
        EXPECT_EQ(static_cast<float>(valueFromPlain(c.index, c.plain, c.range)), c.back);
        const PlainRange r = plainRange(c.index, c.range);
        EXPECT_GE(plain, r.min);
        EXPECT_LE(plain, r.max);
    }
    // The ends of every range are the ends of the travel.
    for (int i = 0; i < kNumParams; ++i) {
        const PlainRange r = plainRange(i, 24.0);
        EXPECT_EQ(static_cast<float>(valueFromPlain(i, r.min, 24.0)), 0.0f) << i;
        EXPECT_EQ(static_cast<float>(valueFromPlain(i, r.max, 24.0)), 1.0f) << i;
        EXPECT_EQ(kParamInfo[i].stepCount, kParamInfo[i].kind == ParamKind::Switch ? 1 : 0);
    }
}

TEST(Parameters, TrimDisplayFollowsTheTrimRange) {
    const char* atZero[] = {"-12.00", "-24.00", "-36.00"};
    const char* atOne[] = {" 12.00", " 24.00", " 36.00"};
    for (int word = 0; word < 3; ++word) {
        EffectHandle fx;
        fx.plug().getPrefs()->set(kPrefTrimRange, word);
        fx.plug().setParameter(kTrim, 0.0f);
        EXPECT_EQ(fx.display(kTrim), atZero[word]);
        fx.plug().setParameter(kTrim, 1.0f);
        EXPECT_EQ(fx.display(kTrim), atOne[word]);
        fx.plug().setParameter(kTrim, 0.5f);
        EXPECT_EQ(fx.display(kTrim), "0");
    }
}

TEST(Parameters, SwitchDisplayTexts) {
    EffectHandle fx;
    struct Case {
        int index;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {kPhase, 0.0f, "Norm"}, {kPhase, 0.49f, "Norm"},  {kPhase, 0.5f, "Flip"},
        {kPhase, 1.0f, "Flip"}, {kMute, 0.4999f, "Thru"}, {kMute, 0.5f, "Mute"},
        {kBypass, 0.2f, "Off"}, {kBypass, 0.9f, "On"},
    };
    for (const Case& c : cases) {
        fx.plug().setParameter(c.index, c.value);
        EXPECT_EQ(fx.display(c.index), c.text) << c.index << " " << c.value;
    }
}

TEST(Parameters, PanDisplayTexts) {
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {
        {0.25f, "L 50  "},  {0.75f, "  50 R"}, {0.0f, "L100  "},  {1.0f, "  100R"},
        {0.5f, "0"},        {0.502f, "0"},     {0.4976f, "0"},    {0.9975f, "  100R"},
        {0.997f, "  99 R"}, {0.51f, "   2 R"}, {0.49f, "L  2  "},
    };
    for (const Case& c : cases) {
        char text[kDisplayTextSize];
        formatDisplay(kPan, c.value, text);
        EXPECT_STREQ(text, c.text) << c.value;
    }
}

TEST(Parameters, PanParameterExistsInTheStereoBuildOnly) {
    EffectHandle fx;
    fx.plug().setParameter(5, 0.25f);
    EXPECT_EQ(fx.plug().getParameter(5), kStereo ? 0.25f : 0.0f);
    EXPECT_EQ(fx.display(5), kStereo ? "L 50  " : "");
}

TEST(TextEntry, GainInDecibels) {
    EffectHandle fx;
    fx.plug().setValueFromText(kGain, "-6");
    EXPECT_NEAR(fx.plug().getParameter(kGain), 0.3972f, 0.00005f);
    EXPECT_NEAR(fx.plug().getControlValue(kGain), 0.5012f, 0.00005f);
    fx.plug().setValueFromText(kGain, "40");
    EXPECT_EQ(fx.plug().getParameter(kGain), 1.0f);
    fx.plug().setValueFromText(kGain, "0");
    EXPECT_FLOAT_EQ(fx.plug().getParameter(kGain), 0.5f);
    fx.plug().setValueFromText(kGain, "loud");
    EXPECT_FLOAT_EQ(fx.plug().getParameter(kGain), 0.5f) << "no number reads as 0 dB";
    fx.plug().setValueFromText(kGain, "-inf");
    EXPECT_EQ(fx.plug().getParameter(kGain), 0.0f);
    fx.plug().setValueFromText(kGain, "nan");
    EXPECT_EQ(fx.plug().getParameter(kGain), 0.0f) << "a NaN leaves the value as it was";
}

TEST(TextEntry, TrimUsesTheCurrentRange) {
    EffectHandle fx;
    fx.plug().setValueFromText(kTrim, "-18");
    EXPECT_FLOAT_EQ(fx.plug().getParameter(kTrim), 0.25f); // (-18 + 36) / 72
    fx.plug().getPrefs()->set(kPrefTrimRange, 0);
    fx.plug().setValueFromText(kTrim, "6");
    EXPECT_FLOAT_EQ(fx.plug().getParameter(kTrim), 0.75f); // (6 + 12) / 24
    fx.plug().setValueFromText(kTrim, "99");
    EXPECT_EQ(fx.plug().getParameter(kTrim), 1.0f);
}

TEST(TextEntry, PanTexts) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"L50", 0.25},   {"50", 0.75},  {"r30", 0.65}, {"", 0.5},  {"l", 0.5},      {"left", 0.5},
        {"12.7L", 0.44}, {"l100", 0.0}, {"100", 1.0},  {"0", 0.5}, {"R 20 l", 0.4}, {"1l2", 0.495},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(panValueFromText(c.text), c.value, 1e-12) << '"' << c.text << '"';
    }
    EXPECT_GT(panValueFromText("99999999999999999999"), 1.0) << "long numbers saturate";
    if constexpr (kStereo) {
        EffectHandle fx;
        fx.plug().setValueFromText(kPan, "r30");
        EXPECT_FLOAT_EQ(fx.plug().getParameter(kPan), 0.65f);
        fx.plug().setValueFromText(kPan, "999");
        EXPECT_EQ(fx.plug().getParameter(kPan), 1.0f);
    }
}

TEST(TextEntry, AnyTextSwitchesASwitchOff) {
    EffectHandle fx;
    for (int index : {kPhase, kMute, kBypass}) {
        fx.plug().setParameter(index, 1.0f);
        fx.plug().setValueFromText(index, "1");
        EXPECT_EQ(fx.plug().getParameter(index), 0.0f);
    }
    fx.plug().setValueFromText(kGain, nullptr);
    EXPECT_EQ(fx.plug().getParameter(kGain), 0.5f);
}

TEST(ControlValues, GainIsLinearOthersNormalised) {
    EffectHandle fx;
    struct Case {
        float linear;
        float normalised;
    };
    const Case cases[] = {{0.0f, 0.0f}, {1.0f, 0.5f}, {8.0f, 1.0f}, {0.125f, 0.25f}, {64.0f, 1.0f}};
    for (const Case& c : cases) {
        fx.plug().setControlValue(kGain, c.linear);
        EXPECT_FLOAT_EQ(fx.plug().getParameter(kGain), c.normalised) << c.linear;
        EXPECT_FLOAT_EQ(fx.plug().getControlValue(kGain), std::min(c.linear, 8.0f));
    }
    fx.plug().setControlValue(kTrim, 0.25f);
    EXPECT_EQ(fx.plug().getControlValue(kTrim), 0.25f) << "trim answers its normalised value";
    fx.plug().setControlValue(kMute, 1.0f);
    EXPECT_EQ(fx.plug().getControlValue(kMute), 1.0f);
}

TEST(ControlValues, DoNotCallTheHost) {
    EffectHandle fx;
    hostCalls().clear();
    fx.plug().setControlValue(kGain, 2.0f);
    fx.plug().setValueFromText(kGain, "3");
    EXPECT_TRUE(hostCalls().empty());
}

} // namespace
} // namespace kavet::test
