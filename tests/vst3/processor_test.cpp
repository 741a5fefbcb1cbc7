// The processor's buses and arrangements, and the controller's parameters, against the
// channel configuration and the core's parameter table.
#include "vst3_fixture.h"

#include "core/params.h"

namespace kavet::test {
namespace {

using namespace vst3;

class Vst3Processor : public Vst3Test {};

TEST_F(Vst3Processor, HasOneMainBusEachWayOfTheConfigurationsChannels) {
    const auto module = loadBundle();
    const auto fx = makeEffect(module);
    IComponent* c = fx->component();
    EXPECT_EQ(c->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(c->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(c->getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(c->getBusCount(kEvent, kOutput), 0);
    for (int32 dir : {kInput, kOutput}) {
        SCOPED_TRACE(dir);
        BusInfo bus{};
        ASSERT_EQ(c->getBusInfo(kAudio, dir, 0, bus), kResultOk);
        EXPECT_EQ(bus.mediaType, kAudio);
        EXPECT_EQ(bus.direction, dir);
        EXPECT_EQ(bus.channelCount, kNumChannels);
        EXPECT_EQ(bus.busType, kMain);
        EXPECT_TRUE(bus.flags & BusInfo::kDefaultActive);
        EXPECT_FALSE(narrow(bus.name, 128).empty());
        EXPECT_NE(c->getBusInfo(kAudio, dir, 1, bus), kResultOk);
        EXPECT_NE(c->getBusInfo(kEvent, dir, 0, bus), kResultOk);
    }
    EXPECT_EQ(fx->processor()->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(fx->processor()->canProcessSampleSize(kSample64), kResultTrue);
    EXPECT_NE(fx->processor()->canProcessSampleSize(2), kResultTrue);
    EXPECT_EQ(fx->processor()->getLatencySamples(), 0u);
}

// The configuration's own arrangement is taken; any other, or another number of buses, is
// refused and leaves the arrangement as it was.
TEST_F(Vst3Processor, TakesOnlyItsOwnArrangement) {
    const auto module = loadBundle();
    const auto fx = makeEffect(module);
    const SpeakerArrangement own = kFacts.arrangement;
    const SpeakerArrangement other = kStereo ? kArrMono : kArrStereo;
    const SpeakerArrangement surround = kArrStereo | (SpeakerArrangement{1} << 2);
    struct Case {
        const char* what;
        std::vector<SpeakerArrangement> ins, outs;
        tresult expected;
    } cases[] = {
        {"own both ways", {own}, {own}, kResultTrue},
        {"the other configuration's", {other}, {other}, kResultFalse},
        {"own in, other out", {own}, {other}, kResultFalse},
        {"other in, own out", {other}, {own}, kResultFalse},
        {"three channels", {surround}, {surround}, kResultFalse},
        {"no input bus", {}, {own}, kResultFalse},
        {"two output buses", {own}, {own, own}, kResultFalse},
        {"own both ways again", {own}, {own}, kResultTrue},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(
            fx->processor()->setBusArrangements(c.ins.data(), static_cast<int32>(c.ins.size()),
                                                c.outs.data(), static_cast<int32>(c.outs.size())),
            c.expected);
        for (int32 dir : {kInput, kOutput}) {
            SpeakerArrangement seen = 0;
            EXPECT_EQ(fx->processor()->getBusArrangement(dir, 0, seen), kResultOk);
            EXPECT_EQ(seen, own);
        }
    }
}

// Ids are the VST 2.4 indices; names, units, steps and defaults are the table's (a switch
// has no unit: its states are its texts); every parameter can be automated, and only Bypass
// is the bypass.
TEST_F(Vst3Processor, ParametersAreTheCoreTable) {
    const auto module = loadBundle();
    const auto fx = makeEffect(module);
    IEditController* ec = fx->controller();
    ASSERT_EQ(ec->getParameterCount(), kNumParams);
    for (int32 i = 0; i < kNumParams; ++i) {
        const ParamInfo& row = kParamInfo[i];
        SCOPED_TRACE(row.name);
        ParameterInfo info{};
        ASSERT_EQ(ec->getParameterInfo(i, info), kResultOk);
        EXPECT_EQ(info.id, static_cast<ParamID>(i));
        EXPECT_EQ(narrow(info.title, 128), row.name);
        EXPECT_EQ(narrow(info.units, 128), row.kind == ParamKind::Switch ? "" : row.label);
        EXPECT_EQ(info.stepCount, row.stepCount);
        EXPECT_EQ(info.defaultNormalizedValue, static_cast<double>(row.defaultValue));
        EXPECT_EQ(info.unitId, 0);
        EXPECT_TRUE(info.flags & ParameterInfo::kCanAutomate);
        EXPECT_EQ((info.flags & ParameterInfo::kIsBypass) != 0, i == kBypass);
        EXPECT_FALSE(info.flags & ParameterInfo::kIsReadOnly);
        EXPECT_EQ(ec->getParamNormalized(static_cast<ParamID>(i)),
                  static_cast<double>(row.defaultValue));
    }
    ParameterInfo info{};
    EXPECT_NE(ec->getParameterInfo(-1, info), kResultOk);
    EXPECT_NE(ec->getParameterInfo(kNumParams, info), kResultOk);
}

// The controller shows a value as the VST 2.4 effect's display does.
TEST_F(Vst3Processor, ParameterTextsAreTheVst2Displays) {
    const auto module = loadBundle();
    const auto fx = makeEffect(module);
    const auto vst2 = makeVst2Effect();
    for (int i = 0; i < kNumParams; ++i) {
        for (float v : {0.0f, 0.125f, 0.25f, 0.5f, 0.75f, 1.0f}) {
            vst2->setParameter(i, v);
            char16 text[128] = {};
            ASSERT_EQ(fx->controller()->getParamStringByValue(static_cast<ParamID>(i), v, text),
                      kResultOk);
            EXPECT_EQ(narrow(text, 128), vst2->parameterDisplay(i))
                << kParamInfo[i].name << " at " << v;
        }
    }
}

} // namespace
} // namespace kavet::test
