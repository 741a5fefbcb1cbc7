// The stand-in framework's controls, display prefixes and chunk data format.
#include "protools/framework/chunk_data_parser.h"
#include "protools/framework/control_continuous.h"
#include "protools/framework/control_discrete.h"
#include "protools/framework/decimal_prefix.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace {

using ptfw::FourCC;

constexpr std::int32_t kTop = 2147483647;

TEST(ContinuousControl, LinearMappingPutsEndsAndCentreOnExactControlValues) {
    const CPluginControl_Linear control(FourCC("sld2"), "Trim", -2.0, 6.0, 0.001, 0.0, true);
    struct Row {
        double value;
        std::int32_t control;
    };
    const Row rows[] = {
        {-2.0, -kTop}, {6.0, kTop}, {2.0, 0},
        {-3.0, -kTop}, {9.0, kTop}, {std::numeric_limits<double>::quiet_NaN(), -kTop},
    };
    for (const Row& row : rows)
        EXPECT_EQ(control.ConvertContinuousToControl(row.value), row.control) << row.value;
    EXPECT_EQ(control.ConvertControlToContinuous(-kTop), -2.0);
    EXPECT_EQ(control.ConvertControlToContinuous(0), 2.0);
    EXPECT_EQ(control.ConvertControlToContinuous(kTop), 6.0);
    EXPECT_EQ(control.ConvertControlToContinuous(-kTop - 1), -2.0); // the scale's extra value
}

TEST(ContinuousControl, RoundTripStaysWithinOneStepOfTheScale) {
    const CPluginControl_Linear control(FourCC("sld2"), "Trim", 0.0, 1.0, 0.001, 0.5, true);
    for (double v = 0.0; v <= 1.0; v += 0.0137)
        EXPECT_NEAR(control.ConvertControlToContinuous(control.ConvertContinuousToControl(v)), v,
                    1.0 / kTop);
}

TEST(ContinuousControl, DefaultAndStepCount) {
    const CPluginControl_Linear trim(FourCC("sld2"), "Trim", 0.0, 1.0, 0.001, 0.5, true);
    EXPECT_EQ(trim.GetDefaultValue(), 0);
    EXPECT_EQ(trim.GetValue(), 0);
    EXPECT_EQ(trim.GetNumSteps(), 1001);
    EXPECT_TRUE(trim.IsContinuous());
    const CPluginControl_Linear coarse(FourCC("crse"), "Coarse", 0.0, 10.0, 0.5, 10.0, false);
    EXPECT_EQ(coarse.GetNumSteps(), 21);
    EXPECT_EQ(coarse.GetDefaultValue(), kTop);
    EXPECT_FALSE(coarse.IsAutomatable());
}

TEST(DecimalPrefix, ChoosesTheLargestPrefixNotAboveTheValueWithinTheRange) {
    const ptfw::PrefixRange all{};
    const ptfw::PrefixRange fromUnity{ptfw::kPrefixUnity, ptfw::kPrefixPeta};
    struct Row {
        double value;
        ptfw::PrefixRange range;
        const char* text;
    };
    const Row rows[] = {
        {0.5, all, "500.000 m"},      {0.5, fromUnity, "0.500"},       {1500.0, all, "1.500 k"},
        {0.0, all, "0.000 p"},        {0.0, fromUnity, "0.000"},       {-0.002, all, "-2.000 m"},
        {3e15, fromUnity, "3.000 P"}, {2e18, fromUnity, "2000.000 P"}, {1.0, all, "1.000"},
    };
    for (const Row& row : rows) {
        char text[32];
        ptfw::FormatWithPrefix(row.value, row.range, 3, text, sizeof text);
        EXPECT_STREQ(text, row.text) << row.value;
    }
}

TEST(GainControl, ShowsDecibelsOfTheLinearValue) {
    CPluginControl_Gain gain(FourCC("sld1"), "Gain", 0.0, 8.0, 0.001, 1.0, true);
    struct Row {
        double linear;
        bool restricted;
        const char* text;
    };
    const Row rows[] = {
        {1.0, true, "0.0 dB"},
        {0.0, true, "-INF dB"},
        {std::pow(10.0, -6.0 / 20.0), true, "-6.0 dB"},
        {std::pow(10.0, -0.5 / 20.0), true, "-0.5 dB"},
        {std::pow(10.0, -0.5 / 20.0), false, "-500.0 m dB"},
        {8.0, true, "18.1 dB"},
    };
    for (const Row& row : rows) {
        gain.SetPrefixRange(row.restricted
                                ? ptfw::PrefixRange{ptfw::kPrefixUnity, ptfw::kPrefixPeta}
                                : ptfw::PrefixRange{});
        char text[32];
        gain.GetValueString(gain.ConvertContinuousToControl(row.linear), text, sizeof text);
        EXPECT_STREQ(text, row.text) << row.linear;
    }
    std::int32_t value = 0;
    ASSERT_TRUE(gain.GetValueFromString("-6.02 dB", &value));
    EXPECT_NEAR(gain.ConvertControlToContinuous(value), 0.5, 1e-4);
    ASSERT_TRUE(gain.GetValueFromString("-INF", &value));
    EXPECT_EQ(gain.ConvertControlToContinuous(value), 0.0);
    EXPECT_FALSE(gain.GetValueFromString("loud", &value));
}

TEST(DiscreteControl, ClampsToItsValuesAndReadsTexts) {
    CPluginControl_Discrete mode(FourCC("mode"), "Mode", {"PPM", "VU", "BBC"}, 1, true);
    EXPECT_FALSE(mode.IsContinuous());
    EXPECT_EQ(mode.GetNumSteps(), 3);
    EXPECT_EQ(mode.GetDefaultValue(), 1);
    const long in[] = {-5, 0, 2, 3, 99};
    const std::int32_t out[] = {0, 0, 2, 2, 2};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(mode.ConvertDiscreteToControl(in[i]), out[i]) << in[i];
    mode.SetValue(-7);
    EXPECT_EQ(mode.GetDiscrete(), 0);
    char text[8];
    mode.GetValueString(2, text, sizeof text);
    EXPECT_STREQ(text, "BBC");
    std::int32_t value = -1;
    EXPECT_TRUE(mode.GetValueFromString("vu", &value));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(mode.GetValueFromString("7", &value));
    EXPECT_EQ(value, 2);
    EXPECT_FALSE(mode.GetValueFromString("loud", &value));
}

TEST(OnOffControl, UsesTheDefaultOffAndOnTexts) {
    const CPluginControl_OnOff sw(FourCC("b1in"), "Phase Invert", false, true);
    char off[8], on[8];
    sw.GetValueString(0, off, sizeof off);
    sw.GetValueString(1, on, sizeof on);
    EXPECT_STREQ(off, "off");
    EXPECT_STREQ(on, "on");
    EXPECT_EQ(sw.GetNumSteps(), 2);
    EXPECT_FALSE(sw.IsOn());
    EXPECT_TRUE(CPluginControl_OnOff(FourCC("b2in"), "Mute", true, true).IsOn());
}

TEST(ChunkDataParser, RoundTripsTaggedValuesMostSignificantByteFirst) {
    ptfw::ChunkDataParser writer;
    writer.AddLong(FourCC("vers"), 1);
    writer.AddLong(FourCC("node"), -2);
    const std::vector<unsigned char> bytes = writer.GetBytes();
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "CDP1");
    EXPECT_EQ(bytes[7], 2); // entry count
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "vers");
    EXPECT_EQ(bytes[23], 0xfe);
    const ptfw::ChunkDataParser reader(bytes.data(), bytes.size());
    ASSERT_TRUE(reader.IsValid());
    std::int32_t v = 0;
    EXPECT_TRUE(reader.FindLong(FourCC("node"), &v));
    EXPECT_EQ(v, -2);
    EXPECT_FALSE(reader.FindLong(FourCC("none"), &v));
}

TEST(ChunkDataParser, RefusesDataThatIsNotACompleteRecord) {
    ptfw::ChunkDataParser writer;
    writer.AddLong(FourCC("vers"), 1);
    std::vector<unsigned char> good = writer.GetBytes();
    EXPECT_TRUE(ptfw::ChunkDataParser(good.data(), good.size()).IsValid());
    EXPECT_FALSE(ptfw::ChunkDataParser(good.data(), good.size() - 1).IsValid());
    EXPECT_FALSE(ptfw::ChunkDataParser(good.data(), 4).IsValid());
    EXPECT_FALSE(ptfw::ChunkDataParser(nullptr, 16).IsValid());
    std::vector<unsigned char> badMagic = good;
    badMagic[0] = 'X';
    EXPECT_FALSE(ptfw::ChunkDataParser(badMagic.data(), badMagic.size()).IsValid());
    std::vector<unsigned char> badCount = good;
    badCount[7] = 3;
    EXPECT_FALSE(ptfw::ChunkDataParser(badCount.data(), badCount.size()).IsValid());
}

} // namespace
