// The signal path: gain targets, the glide, pan laws, the refresh clock and the three
// processing forms.
#include "host_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kavet::test {
namespace {

// The glide as defined: 0.5 % (the single-precision 0.005) of the distance each sample,
// flushed below 2^-1021.
double glideStep(double gain, double target) {
    double next = gain + (target - gain) * static_cast<double>(0.005f);
    return std::fabs(next) < 0x1p-1021 ? 0.0 : next;
}

std::vector<std::vector<double>> constantDouble(double value, int frames) {
    return std::vector<std::vector<double>>(kNumChannels, std::vector<double>(frames, value));
}

TEST(Processing, DefaultParametersPassTheInputExactly) {
    EffectHandle fx;
    std::vector<std::vector<float>> in(kNumChannels);
    for (int c = 0; c < kNumChannels; ++c) {
        for (int i = 0; i < 4096; ++i)
            in[c].push_back(std::sin(i * 0.01f + c) * 0.9f);
    }
    EXPECT_EQ(fx.run(in), in);
}

TEST(Processing, GlideIsBitExactInTheDoublePath) {
    EffectHandle fx;
    fx.plug().setParameter(kGain, 0.25f); // target 0.125
    auto out = fx.runDouble(constantDouble(1.0, 3000));
    double g = 1.0;
    for (int i = 0; i < 3000; ++i) {
        g = glideStep(g, 0.125);
        ASSERT_EQ(out[0][i], g) << "sample " << i;
        if (kStereo) {
            ASSERT_EQ(out[1][i], g) << "sample " << i;
        }
    }
}

TEST(Processing, GlideContinuesAcrossBlocksAndForms) {
    EffectHandle a, b;
    a.plug().setParameter(kGain, 0.8f);
    b.plug().setParameter(kGain, 0.8f);
    auto whole = a.runDouble(constantDouble(0.5, 1000));
    std::vector<double> pieces;
    for (int size : {1, 7, 64, 128, 300, 500}) {
        auto part = b.runDouble(constantDouble(0.5, size));
        pieces.insert(pieces.end(), part[0].begin(), part[0].end());
    }
    EXPECT_EQ(pieces, whole[0]);
}

TEST(Processing, FloatPathRoundsTheDoubleResult) {
    EffectHandle a, b;
    a.plug().setParameter(kGain, 0.3f);
    b.plug().setParameter(kGain, 0.3f);
    auto f = a.runConstant(0.7f, 2000);
    auto d = b.runDouble(constantDouble(static_cast<double>(0.7f), 2000));
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(f[0][i], static_cast<float>(d[0][i])) << i;
}

TEST(Processing, PhaseFlipGlidesThroughZeroToTheNegatedInput) {
    EffectHandle fx;
    fx.plug().setParameter(kPhase, 1.0f);
    auto out = fx.runConstant(1.0f, 2000);
    // Sample i has had i + 1 glide steps; 99 % of the step from +1 to -1 takes 919.
    EXPECT_EQ(out[0][0], static_cast<float>(1.0 - 2.0 * static_cast<double>(0.005f)));
    EXPECT_GT(out[0][917], -0.98f) << "918 steps: not yet 99 %";
    EXPECT_LE(out[0][918], -0.98f) << "919 steps";
    EXPECT_LT(out[0][1999], -0.9999f);
}

TEST(Processing, MuteDecaysToExactZero) {
    EffectHandle fx;
    fx.plug().setParameter(kMute, 1.0f);
    const int frames = 150000;
    auto out = fx.runDouble(constantDouble(1.0, frames));
    double g = 1.0;
    int firstZero = -1;
    for (int i = 0; i < frames; ++i) {
        g = glideStep(g, 0.0);
        ASSERT_EQ(out[0][i], g) << i;
        if (g == 0.0) {
            firstZero = i;
            break;
        }
        if (i > 0) {
            ASSERT_NEAR(out[0][i] / out[0][i - 1], 0.995, 1e-9) << i;
        }
    }
    EXPECT_GT(firstZero, 141000);
    EXPECT_LT(firstZero, 141400);
    for (int i = firstZero; i < frames; ++i)
        ASSERT_EQ(out[0][i], 0.0) << i;
}

TEST(Processing, BypassWithGainAtZeroGlidesFromSilenceToTheInput) {
    EffectHandle fx;
    fx.plug().setParameter(kGain, 0.0f);
    fx.dispatch(effMainsChanged, 0, 1); // jump to silence
    EXPECT_EQ(fx.runConstant(1.0f, 10)[0][9], 0.0f);
    fx.plug().setParameter(kBypass, 1.0f);
    auto out = fx.runDouble(constantDouble(1.0, 4000));
    double g = 0.0;
    for (int i = 0; i < 4000; ++i) {
        g = glideStep(g, 1.0);
        ASSERT_EQ(out[0][i], g) << i;
    }
}

TEST(Processing, ResumeJumpsToTheTargetsWithoutGlide) {
    EffectHandle fx;
    fx.plug().setParameter(kGain, 0.25f);
    fx.dispatch(effMainsChanged, 0, 1);
    auto out = fx.runDouble(constantDouble(1.0, 4));
    for (double s : out[0])
        EXPECT_EQ(s, 0.125);
}

TEST(Processing, MuteWithPhaseResumesToPositiveZero) {
    EffectHandle fx;
    fx.plug().setParameter(kPhase, 1.0f);
    fx.plug().setParameter(kMute, 1.0f);
    fx.dispatch(effMainsChanged, 0, 1);
    auto out = fx.runDouble(constantDouble(1.0, 4));
    for (double s : out[0]) {
        EXPECT_EQ(s, 0.0);
        EXPECT_FALSE(std::signbit(s));
    }
}

TEST(Processing, ZeroOrNegativeFrameCountsChangeNothing) {
    EffectHandle a, b;
    a.plug().setParameter(kGain, 0.25f);
    b.plug().setParameter(kGain, 0.25f);
    float sample = 3.0f;
    float* in[2] = {&sample, &sample};
    float* out[2] = {&sample, &sample};
    AEffect* e = a.record();
    e->processReplacing(e, in, out, 0);
    e->processReplacing(e, in, out, -5);
    e->process(e, in, out, 0);
    EXPECT_EQ(sample, 3.0f);
    MeterSnapshot snap;
    EXPECT_FALSE(a.plug().getMeterSnapshot(snap)) << "no sample counted";
    // Same glide state as an effect that never saw those calls.
    EXPECT_EQ(a.runDouble(constantDouble(1.0, 50)), b.runDouble(constantDouble(1.0, 50)));
}

TEST(Processing, AccumulatingFormAddsToTheOutput) {
    EffectHandle fx;
    fx.plug().setParameter(kGain, 0.25f);
    fx.dispatch(effMainsChanged, 0, 1); // gain 0.125
    std::vector<float> in(64, 1.0f), out0(64, 0.5f), out1(64, -0.25f);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out0.data(), out1.data()};
    fx.record()->process(fx.record(), ins, outs, 64);
    for (float s : out0)
        EXPECT_EQ(s, 0.625f);
    if (kStereo) {
        for (float s : out1)
            EXPECT_EQ(s, -0.125f);
    } else {
        for (float s : out1)
            EXPECT_EQ(s, -0.25f) << "the mono kernel touches channel 0 only";
    }
}

TEST(Processing, InPlaceBuffersWork) {
    EffectHandle fx;
    fx.plug().setParameter(kGain, 0.25f);
    fx.dispatch(effMainsChanged, 0, 1);
    std::vector<float> left(32, 1.0f), right(32, 2.0f);
    float* buffers[2] = {left.data(), right.data()};
    fx.record()->processReplacing(fx.record(), buffers, buffers, 32);
    for (float s : left)
        EXPECT_EQ(s, 0.125f);
    if (kStereo) {
        for (float s : right)
            EXPECT_EQ(s, 0.25f);
    }
}

TEST(Processing, MasterGainIsGainTimesTrimTimesPolarity) {
    EffectHandle fx;
    fx.plug().setParameter(kGain, 0.25f); // 0.125
    fx.plug().setParameter(kTrim, 0.0f);  // -36 dB
    fx.plug().setParameter(kPhase, 1.0f);
    fx.dispatch(effMainsChanged, 0, 1);
    double trim = static_cast<float>(std::pow(10.0, -36.0 * 0.05));
    double master = 0.125 * trim * -1.0;
    if (kStereo) master *= 1.0; // pan law 0 keeps unity at the centre
    EXPECT_EQ(fx.runDouble(constantDouble(1.0, 1))[0][0], master);
}

TEST(Processing, TrimRangeReachesTheSignalAtTheNextDisplayRecomputation) {
    // The refresh clock counts milliseconds of audio: at 1000 Hz every sample is 1 ms, so a
    // target changed by a preference shows after exactly 4 samples.
    EffectHandle fx;
    fx.dispatch(effSetSampleRate, 0, 0, nullptr, 1000.0f);
    fx.dispatch(effMainsChanged, 0, 1);
    fx.plug().setParameter(kTrim, 0.0f); // -36 dB at range word 2
    fx.dispatch(effMainsChanged, 0, 1);
    fx.plug().getPrefs()->set(kPrefTrimRange, 0); // ±12 dB, picked up by the next refresh only
    auto before = fx.runDouble(constantDouble(1.0, 4));
    for (double s : before[0])
        EXPECT_EQ(s, before[0][0]) << "no refresh within 4 ms";
    auto after = fx.runDouble(constantDouble(1.0, 1));
    EXPECT_EQ(after[0][0], before[0][0]) << "the display value keeps the old range";
    // The range reaches the display values (and the signal) at the next recomputation.
    fx.plug().setParameter(kGain, 0.5f);
    fx.dispatch(effMainsChanged, 0, 1);
    EXPECT_FLOAT_EQ(static_cast<float>(fx.runDouble(constantDouble(1.0, 1))[0][0]),
                    static_cast<float>(std::pow(10.0, -12.0 * 0.05)));
}

TEST(Processing, NanInputDoesNotDisturbTheGain) {
    EffectHandle fx;
    auto in = constantDouble(1.0, 8);
    in[0][3] = std::numeric_limits<double>::quiet_NaN();
    auto out = fx.runDouble(in);
    EXPECT_TRUE(std::isnan(out[0][3]));
    EXPECT_EQ(out[0][4], 1.0);
    EXPECT_EQ(fx.runDouble(constantDouble(0.5, 1))[0][0], 0.5);
}

#if KAVET_STEREO
struct PanCase {
    int law;
    float pan;
    double left;
    double right;
};

class PanLaws : public testing::TestWithParam<PanCase> {};

TEST_P(PanLaws, SideGainsAtUnityMaster) {
    const PanCase& c = GetParam();
    EffectHandle fx;
    fx.plug().getPrefs()->set(kPrefPanLaw, c.law);
    fx.plug().setParameter(kPan, c.pan);
    fx.dispatch(effMainsChanged, 0, 1);
    auto out = fx.runDouble(constantDouble(1.0, 1));
    EXPECT_DOUBLE_EQ(out[0][0], c.left);
    EXPECT_DOUBLE_EQ(out[1][0], c.right);
}

INSTANTIATE_TEST_SUITE_P(Table, PanLaws,
                         testing::Values(PanCase{0, 0.5f, 1.0, 1.0}, PanCase{0, 1.0f, 0.0, 1.0},
                                         PanCase{0, 0.0f, 1.0, 0.0}, PanCase{0, 0.75f, 0.5, 1.0},
                                         PanCase{0, 0.25f, 1.0, 0.5},
                                         PanCase{1, 0.5f, std::sqrt(0.5), std::sqrt(0.5)},
                                         PanCase{1, 1.0f, 0.0, 1.0},
                                         PanCase{1, 0.25f, std::sqrt(0.75), 0.5},
                                         PanCase{2, 0.5f, 0.5, 0.5}, PanCase{2, 0.0f, 1.0, 0.0},
                                         PanCase{2, 0.75f, 0.25, 0.75},
                                         // Words without a row act as law 0.
                                         PanCase{3, 0.5f, 1.0, 1.0}, PanCase{9, 0.75f, 0.5, 1.0},
                                         PanCase{-1, 0.25f, 1.0, 0.5}),
                         [](const testing::TestParamInfo<PanCase>& info) {
                             return "Law" + std::to_string(info.param.law + 1) + "Pan" +
                                    std::to_string(static_cast<int>(info.param.pan * 100)) + "_" +
                                    std::to_string(info.index);
                         });

TEST(Processing, PanLawAppliesToTheMasterGain) {
    EffectHandle fx;
    fx.plug().getPrefs()->set(kPrefPanLaw, 1);
    fx.plug().setParameter(kGain, 0.25f);
    fx.plug().setParameter(kPan, 0.5f);
    fx.dispatch(effMainsChanged, 0, 1);
    auto out = fx.runDouble(constantDouble(1.0, 1));
    EXPECT_DOUBLE_EQ(out[0][0], 0.125 * std::sqrt(0.5));
    EXPECT_DOUBLE_EQ(out[1][0], 0.125 * std::sqrt(0.5));
}

TEST(Processing, BypassOverridesPanAndMute) {
    EffectHandle fx;
    fx.plug().setParameter(kPan, 1.0f);
    fx.plug().setParameter(kMute, 1.0f);
    fx.plug().setParameter(kBypass, 1.0f);
    fx.dispatch(effMainsChanged, 0, 1);
    auto out = fx.runDouble(constantDouble(0.5, 1));
    EXPECT_EQ(out[0][0], 0.5);
    EXPECT_EQ(out[1][0], 0.5);
}

TEST(Processing, PanLawChangeTakesEffectAtTheNextRefresh) {
    EffectHandle fx;
    fx.dispatch(effSetSampleRate, 0, 0, nullptr, 1000.0f);
    fx.dispatch(effMainsChanged, 0, 1);
    fx.plug().getPrefs()->set(kPrefPanLaw, 2); // -6 dB at the centre from the next refresh
    auto out = fx.runDouble(constantDouble(1.0, 6));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(out[0][i], 1.0) << i;
    EXPECT_EQ(out[0][4], glideStep(1.0, 0.5)) << "refreshed after the 4th sample";
}
#endif

} // namespace
} // namespace kavet::test
