// The host controls of each build as the host sees them, and what moving them does to the
// effect (read back from the effect's own state in the `vlmr` chunk).
#include "ptsim_support.h"

#include <gtest/gtest.h>

namespace kavet::test {
namespace {

using ptsim::PtInstance;

constexpr std::int32_t kTop = 2147483647;

class ControlsTest : public testing::TestWithParam<Build> {
protected:
    ControlsTest() : open(GetParam()), instance(*open.module, 0, 48000) {}
    std::vector<float> params() { return paramsOf(instance.saveChunk(kVlmr), GetParam().controls); }
    OpenModule open;
    PtInstance instance;
};

TEST_P(ControlsTest, ListsTheControlsOfTheBuild) {
    struct Row {
        const char* id;
        const char* name;
        bool continuous;
        int steps;
        double min, max;
        std::int32_t defaultValue;
    };
    const Row rows[] = {
        {"sld1", "I/P Gain", true, 8001, 0.0, 8.0, 0},    {"sld2", "Trim", true, 1001, 0.0, 1.0, 0},
        {"b1in", "Phase Invert", false, 2, 0.0, 1.0, 0},  {"b2in", "Mute", false, 2, 0.0, 1.0, 0},
        {"b3in", "Master Bypass", false, 2, 0.0, 1.0, 0}, {"sld3", "Pan", true, 1001, 0.0, 1.0, 0},
    };
    ASSERT_EQ(instance.controlCount(), GetParam().controls);
    for (int i = 1; i <= GetParam().controls; ++i) {
        const Row& row = rows[i - 1];
        const PtControlInfo info = instance.controlInfo(i);
        EXPECT_EQ(ptsim::fourCC(info.id), row.id);
        EXPECT_STREQ(info.name, row.name);
        EXPECT_EQ(info.continuous != 0, row.continuous) << row.name;
        EXPECT_EQ(info.automatable, 1);
        EXPECT_EQ(info.numSteps, row.steps) << row.name;
        EXPECT_EQ(info.minimum, row.min);
        EXPECT_EQ(info.maximum, row.max);
        EXPECT_EQ(info.defaultValue, row.defaultValue) << row.name;
    }
    EXPECT_EQ(instance.bypassIndex(), 5);
}

TEST_P(ControlsTest, DisplaysUseNoPrefixBelowUnity) {
    EXPECT_EQ(instance.controlText(1, 0), "0.0 dB");
    EXPECT_EQ(instance.controlText(1, -kTop), "-INF dB");
    EXPECT_EQ(instance.controlText(2, 0), "0.500"); // not "500.000 m"
    EXPECT_EQ(instance.controlText(3, 1), "on");
    EXPECT_EQ(instance.controlText(5, 0), "off");
}

TEST_P(ControlsTest, GainControlPositionsHandTheEffectPlainGains) {
    struct Row {
        std::int32_t control; // position 0, 4 and 8 of the 0..8 travel
        float normalised;     // the effect's Gain parameter afterwards
    };
    const Row rows[] = {{-kTop, 0.0f}, {0, 0.5f}, {kTop, 1.0f}};
    for (const Row& row : rows) {
        ASSERT_EQ(instance.setControl(1, row.control), 0);
        EXPECT_EQ(params()[0], row.normalised) << row.control;
    }
}

TEST_P(ControlsTest, ContinuousControlsReachTheirParameters) {
    ASSERT_EQ(instance.setControl(2, kTop), 0); // trim at its top
    EXPECT_EQ(params()[1], 1.0f);
    if (GetParam().controls == 6) {
        ASSERT_EQ(instance.setControl(6, -kTop), 0); // pan hard left
        EXPECT_EQ(params()[5], 0.0f);
    }
}

TEST_P(ControlsTest, SwitchControlsHandTheEffectZeroOrOne) {
    for (int index : {3, 4, 5}) {
        ASSERT_EQ(instance.setControl(index, 1), 0);
        EXPECT_EQ(params()[index - 1], 1.0f) << index;
        ASSERT_EQ(instance.setControl(index, 0), 0);
        EXPECT_EQ(params()[index - 1], 0.0f) << index;
    }
}

TEST_P(ControlsTest, IndicesOutsideTheControlListAreRefused) {
    const auto before = instance.saveChunk(kVlmr).record;
    EXPECT_EQ(instance.setControl(0, 1), ptfw::kErrBadIndex);
    EXPECT_EQ(instance.setControl(GetParam().controls + 1, 1), ptfw::kErrBadIndex);
    EXPECT_EQ(instance.setControl(-3, 1), ptfw::kErrBadIndex);
    EXPECT_EQ(instance.saveChunk(kVlmr).record, before);
    PtControlInfo info;
    EXPECT_EQ(instance.routines().getControlInfo(instance.handle(), GetParam().controls + 1, &info),
              ptfw::kErrBadIndex);
}

TEST_P(ControlsTest, HostBypassButtonOperatesTheBypassParameter) {
    instance.pressBypass(true);
    EXPECT_TRUE(instance.bypassed());
    EXPECT_EQ(instance.controlValue(5), 1);
    EXPECT_EQ(params()[4], 1.0f);
    instance.pressBypass(false);
    EXPECT_FALSE(instance.bypassed());
    EXPECT_EQ(params()[4], 0.0f);
    EXPECT_TRUE(instance.events().empty()); // the host is not told what it did itself
}

TEST_P(ControlsTest, SampleRateChangesAreKeptByTheFramework) {
    EXPECT_EQ(instance.sampleRate(), 48000);
    instance.setSampleRate(96000);
    EXPECT_EQ(instance.sampleRate(), 96000);
}

INSTANTIATE_TEST_SUITE_P(Builds, ControlsTest, testing::Values(kStereoBuild, kMonoBuild),
                         buildName);

} // namespace
} // namespace kavet::test
