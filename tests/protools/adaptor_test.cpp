// The adaptor from inside the stereo module: what only code linked into the module can
// reach (the effect behind a process, its host callback, the process registry, the
// render guards), driven on the real group, types and processes.
#include "protools/module_state.h"
#include "protools/qrl_gain_control.h"
#include "protools/template_group.h"
#include "protools/template_noui_view.h"
#include "protools/template_process_rtas.h"

#include "protools/framework/view_registry.h"

#include "core/plug.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using ptfw::FourCC;

TEST(QRLGainControl, CubeLawPositionsOnTheGainTravel) {
    const CPluginControl_QRLGain gain(FourCC("sld1"), "I/P Gain", 0.0, 8.0, 0.001, 1.0, true);
    struct Row {
        double gain;
        double position;
    };
    const Row rows[] = {{0.0, 0.0}, {1.0, 4.0}, {8.0, 8.0}, {0.125, 2.0}, {27.0 / 64.0, 3.0}};
    for (const Row& row : rows) {
        EXPECT_DOUBLE_EQ(gain.PositionOf(row.gain), row.position) << row.gain;
        EXPECT_DOUBLE_EQ(gain.GainAt(row.position), row.gain) << row.position;
    }
    // Ends and unity land on exact control values and come back exactly.
    EXPECT_EQ(gain.ConvertContinuousToControl(0.0), -2147483647);
    EXPECT_EQ(gain.ConvertContinuousToControl(1.0), 0);
    EXPECT_EQ(gain.ConvertContinuousToControl(8.0), 2147483647);
    EXPECT_EQ(gain.ConvertControlToContinuous(0), 1.0);
    EXPECT_EQ(gain.ConvertControlToContinuous(2147483647), 8.0);
    EXPECT_EQ(gain.GetNumSteps(), 8001);
    EXPECT_EQ(gain.GetDefaultValue(), 0); // default 1.0 sits mid-travel
}

TEST(NoUIView, IsBuiltFromItsDescriptionOnceTheGroupIsInitialised) {
    CTemplateNoUIGroup group;
    EXPECT_FALSE(ptfw::IsViewClassRegistered("NoUIView"));
    group.Initialize();
    auto view = ptfw::BuildViewFromDescription("!NoUIView[('NoID')]", {0, 0, 265, 534});
    EXPECT_NE(dynamic_cast<CTemplateNoUIView*>(view.get()), nullptr);
}

TEST(ResourcePath, TheSuffixFollowsTheCompleteFileName) {
    struct Row {
        const char* file;
        const char* path;
    };
    const Row rows[] = {
        {"C:\\Plug-Ins\\VelmorantKavet.dpm", "C:\\Plug-Ins\\VelmorantKavet.dpm.rsr"},
        {"/x/VelmorantKavet.so", "/x/VelmorantKavet.so.rsr"},
        {"noext", "noext.rsr"}};
    for (const Row& row : rows) {
        char out[300];
        ASSERT_TRUE(kavet::pt::ResourcePathFor(row.file, out, sizeof out));
        EXPECT_STREQ(out, row.path);
    }
    char small[8];
    EXPECT_FALSE(kavet::pt::ResourcePathFor("abcd", small, sizeof small));
}

// One stereo process on a real group, with the host's callbacks recorded.
class AdaptorTest : public testing::Test {
protected:
    void SetUp() override {
        group.Initialize();
        const PtProcessSetup setup{48000, -1, -1, &callbacks};
        process = dynamic_cast<CTemplateNoUIProcessRTAS*>(group.NewProcess(0, setup));
        ASSERT_NE(process, nullptr);
        effect = process->GetEffect();
        ASSERT_NE(effect, nullptr);
    }
    std::int32_t control(long index) {
        std::int32_t v = 0;
        process->GetControlValue(index, &v);
        return v;
    }

    struct Event {
        char kind;
        std::int32_t index, value;
        bool operator==(const Event&) const = default;
    };
    std::vector<Event> events;
    PtHostCallbacks callbacks{this,
                              [](void* c, PtProcess*, std::int32_t i, std::int32_t v) {
                                  static_cast<AdaptorTest*>(c)->events.push_back({'S', i, v});
                              },
                              [](void* c, PtProcess*, std::int32_t i) {
                                  static_cast<AdaptorTest*>(c)->events.push_back({'T', i, 0});
                              },
                              [](void* c, PtProcess*, std::int32_t i) {
                                  static_cast<AdaptorTest*>(c)->events.push_back({'R', i, 0});
                              }};
    CTemplateNoUIGroup group;
    CTemplateNoUIProcessRTAS* process = nullptr;
    kavet::Plug* effect = nullptr;
};

TEST_F(AdaptorTest, EditorGestureReachesTheHostOnceAndComesBackToTheEffect) {
    effect->beginEdit(0);
    effect->setParameterAutomated(0, 0.75f);
    effect->endEdit(0);
    // One touch, one host control change, one release: no loop.
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0], (Event{'T', 1, 0}));
    EXPECT_EQ(events[1].kind, 'S');
    EXPECT_EQ(events[1].index, 1);
    EXPECT_EQ(events[2], (Event{'R', 1, 0}));
    // The host control holds the cube-law position of the effect's gain 8·0.75³.
    const double gain = 8.0 * 0.75 * 0.75 * 0.75;
    const auto* qrl = dynamic_cast<const CPluginControl_QRLGain*>(process->GetControl(1));
    ASSERT_NE(qrl, nullptr);
    EXPECT_EQ(events[1].value, qrl->ConvertContinuousToControl(static_cast<float>(gain)));
    EXPECT_EQ(control(1), events[1].value);
    // The algorithm update wrote the same gain back through setControlValue.
    EXPECT_NEAR(effect->getParameter(0), 0.75f, 1e-6f);
    EXPECT_NEAR(effect->getControlValue(0), gain, 1e-5);
}

TEST_F(AdaptorTest, SwitchValuesCrossTruncated) {
    struct Row {
        float normalised;
        std::int32_t control;
        float after;
    };
    // Any plain value below 1 reaches the on/off control as 0, and the effect follows.
    const Row rows[] = {{1.0f, 1, 1.0f}, {0.0f, 0, 0.0f}, {0.7f, 0, 0.0f}, {0.999f, 0, 0.0f}};
    for (const Row& row : rows) {
        events.clear();
        effect->setParameterAutomated(2, row.normalised);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0], (Event{'S', 3, row.control})) << row.normalised;
        EXPECT_EQ(effect->getParameter(2), row.after) << row.normalised;
    }
}

TEST_F(AdaptorTest, PanIsContinuousInTheStereoBuild) {
    EXPECT_TRUE(CTemplateNoUIProcessRTAS::IsContinuousControl(6));
    EXPECT_FALSE(CTemplateNoUIProcessRTAS::IsContinuousControl(5));
    effect->setParameterAutomated(5, 0.25f);
    const auto* pan = dynamic_cast<const CPluginControl_Continuous*>(process->GetControl(6));
    ASSERT_NE(pan, nullptr);
    EXPECT_NEAR(pan->GetContinuous(), 0.25, 1e-9);
    EXPECT_EQ(effect->getParameter(5), 0.25f);
}

TEST_F(AdaptorTest, HostBypassAndEditorBypassOperateOneParameter) {
    effect->setParameterAutomated(4, 1.0f); // the editor's bypass switch
    EXPECT_TRUE(process->IsBypassed());
    EXPECT_EQ(control(5), 1);
    process->ApplyHostControlValue(5, 0); // the host's bypass button
    EXPECT_EQ(effect->getParameter(4), 0.0f);
    EXPECT_FALSE(process->IsBypassed());
    process->ApplyHostControlValue(5, 1);
    EXPECT_EQ(effect->getParameter(4), 1.0f);
}

TEST_F(AdaptorTest, CallbacksForIndicesOutsideTheParametersAreIgnored) {
    AEffect* record = effect->getAeffect();
    for (VstInt32 opcode : {0, 43, 44})
        for (VstInt32 index : {-1, 6, 100})
            EXPECT_EQ(AdaptorHostCallback(record, opcode, index, 0, nullptr, 1.0f), 0);
    effect->beginEdit(6);
    effect->endEdit(-1);
    // Other opcodes do nothing.
    EXPECT_EQ(AdaptorHostCallback(record, audioMasterVersion, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(AdaptorHostCallback(record, audioMasterIdle, 0, 0, nullptr, 0.0f), 0);
    EXPECT_TRUE(events.empty());
}

TEST_F(AdaptorTest, RenderWithNoOutputsCallsNothing) {
    std::vector<float> in(64, 0.5f), out(64, 7.0f);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {out.data(), out.data()};
    process->SetChannelCounts(2, 0);
    process->RenderAudio(inputs, outputs, 64);
    EXPECT_EQ(out[0], 7.0f);
    std::int32_t values[48];
    char clips[48];
    EXPECT_EQ(process->GetMeters(values, clips), 0);
}

TEST_F(AdaptorTest, RenderWithNoInputsIsSilentAndMetersNothing) {
    std::vector<float> left(64, 7.0f), right(64, 7.0f);
    float* outputs[2] = {left.data(), right.data()};
    process->SetChannelCounts(0, 2);
    process->RenderAudio(nullptr, outputs, 64);
    EXPECT_EQ(left, std::vector<float>(64, 0.0f));
    EXPECT_EQ(right, std::vector<float>(64, 0.0f));
    std::int32_t values[48];
    char clips[48];
    ASSERT_EQ(process->GetMeters(values, clips), 2);
    EXPECT_EQ(values[0], 0);
}

TEST_F(AdaptorTest, MonoInputFeedsBothChannels) {
    std::vector<float> in(32, 0.25f), left(32), right(32);
    float* inputs[1] = {in.data()};
    float* outputs[2] = {left.data(), right.data()};
    process->SetChannelCounts(1, 2);
    process->RenderAudio(inputs, outputs, 32);
    EXPECT_EQ(left, in);
    EXPECT_EQ(right, in);
}

TEST_F(AdaptorTest, MoreThan48OutputsMeterOnly48AndTheExtraOnesAreSilent) {
    constexpr int kOutputs = 50;
    std::vector<std::vector<float>> out(kOutputs, std::vector<float>(16, 9.0f));
    std::vector<float> in(16, 0.5f);
    std::vector<float*> outputs, inputs(kOutputs, in.data());
    for (auto& channel : out)
        outputs.push_back(channel.data());
    process->SetChannelCounts(kOutputs, kOutputs);
    process->RenderAudio(inputs.data(), outputs.data(), 16);
    EXPECT_EQ(out[1][0], 0.5f);
    EXPECT_EQ(out[2][0], 0.0f);
    EXPECT_EQ(out[49][15], 0.0f);
    std::vector<std::int32_t> values(kOutputs, 123);
    std::vector<char> clips(kOutputs, 5);
    EXPECT_EQ(process->GetMeters(values.data(), clips.data()), 48);
    EXPECT_EQ(values[0], 1073741824);
    EXPECT_EQ(values[2], 0);
    EXPECT_EQ(values[48], 123); // untouched
}

TEST_F(AdaptorTest, FewerOutputsThanTheEffectWritesAreSilent) {
    std::vector<float> in(16, 0.5f), out(16, 9.0f);
    float* inputs[1] = {in.data()};
    float* outputs[1] = {out.data()};
    process->SetChannelCounts(1, 1);
    process->RenderAudio(inputs, outputs, 16);
    EXPECT_EQ(out, std::vector<float>(16, 0.0f));
}

} // namespace
