// The effect as a host sees it: the record, the entry and the dispatcher's answers.
#include "host_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

extern "C" AEffect* VSTPluginMain(audioMasterCallback host);

namespace kavet::test {
namespace {

VstIntPtr VSTCALLBACK oldHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}

TEST(Entry, HostAnsweringVersionZeroGetsNoEffect) {
    EXPECT_EQ(VSTPluginMain(oldHost), nullptr);
    EXPECT_EQ(VSTPluginMain(nullptr), nullptr);
}

TEST(Entry, AsksTheHostVersionOnceAndReturnsTheRecord) {
    hostCalls().clear();
    AEffect* e = VSTPluginMain(recordingHost);
    ASSERT_NE(e, nullptr);
    ASSERT_FALSE(hostCalls().empty());
    EXPECT_EQ(hostCalls().front().opcode, audioMasterVersion);
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
}

TEST(Creation, NullCallbackCreatesNothing) {
    EXPECT_EQ(createEffectInstance(nullptr), nullptr);
}

TEST(Record, FieldsOfTheBuild) {
    EffectHandle fx;
    AEffect* e = fx.record();
    EXPECT_EQ(e->magic, 0x56737450);
    EXPECT_EQ(e->numPrograms, 1);
    EXPECT_EQ(e->numParams, kStereo ? 6 : 5);
    EXPECT_EQ(e->numInputs, kStereo ? 2 : 1);
    EXPECT_EQ(e->numOutputs, kStereo ? 2 : 1);
    EXPECT_EQ(e->flags, 1 | 16 | 32 | 4096 | (kStereo ? 8 : 0)); // 1: has an editor
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->uniqueID, kStereo ? 0x4B767453 : 0x4B76744D); // 'KvtS' / 'KvtM'
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->resvd1, 0);
    EXPECT_EQ(e->resvd2, 0);
    EXPECT_EQ(e->realQualities, 0);
    EXPECT_EQ(e->offQualities, 0);
    EXPECT_EQ(e->user, nullptr);
    EXPECT_EQ(e->object, static_cast<void*>(static_cast<AudioEffect*>(&fx.plug())));
    EXPECT_NE(e->process, nullptr);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
    for (char c : e->future)
        EXPECT_EQ(c, 0);
}

TEST(Dispatcher, NumericAnswers) {
    EffectHandle fx;
    struct Case {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr expected;
    };
    const Case cases[] = {
        {effOpen, 0, 0},
        {effGetProgram, 0, 0},
        {effIdentify, 0, 0x4E764566},
        {effCanBeAutomated, 0, 1},
        {effCanBeAutomated, 5, 1},
        {effCanBeAutomated, 99, 1},
        {effGetPlugCategory, 0, 1},
        {effSetBypass, 0, 0},
        {effGetVendorVersion, 0, 1100},
        {effGetTailSize, 0, 0},
        {effGetVstVersion, 0, 2400},
        {effEditGetRect, 0, 0}, // no place for the rectangle
        {effEditOpen, 0, 0},    // no parent window
        {effEditClose, 0, 1},
        {effEditIdle, 0, 1},
        {effGetVu, 0, 0},
        {effProcessEvents, 0, 0},
        {effString2Parameter, 0, 0},
        {effGetParameterProperties, 0, 0},
        {effStartProcess, 0, 0},
        {9999, 0, 0},
        {-1, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fx.dispatch(c.opcode, c.index), c.expected) << "opcode " << c.opcode;
    }
    EXPECT_EQ(fx.dispatch(effSetBypass, 0, 1), 0);
}

TEST(Dispatcher, CanDoAnswersZeroToEveryQuery) {
    EffectHandle fx;
    for (const char* q : {"receiveVstMidiEvent", "bypass", "receiveVstTimeInfo", "sendVstEvents",
                          "plugAsChannelInsert", "", "x"}) {
        char text[64];
        std::strcpy(text, q);
        EXPECT_EQ(fx.dispatch(effCanDo, 0, 0, text), 0) << q;
    }
    EXPECT_EQ(fx.dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST(Dispatcher, VendorAndProductTexts) {
    EffectHandle fx;
    char text[80];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(fx.dispatch(effGetVendorString, 0, 0, text), 1);
    EXPECT_STREQ(text, "Velmorant Ltd");
    EXPECT_EQ(text[14], '#') << "nothing written past the terminator";
    EXPECT_EQ(fx.dispatch(effGetProductString, 0, 0, text), 1);
    EXPECT_STREQ(text, kStereo ? "Kavet Stereo" : "Kavet Mono");
}

TEST(Dispatcher, EffectNameIsNotWritten) {
    EffectHandle fx;
    char text[32];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(fx.dispatch(effGetEffectName, 0, 0, text), 0);
    EXPECT_EQ(text[0], '#');
}

TEST(Dispatcher, ProgramOutsideTheBankIsIgnored) {
    EffectHandle fx;
    fx.plug().setParameter(kGain, 0.25f);
    for (VstIntPtr program : {VstIntPtr(1), VstIntPtr(-1), VstIntPtr(1) << 40}) {
        fx.dispatch(effSetProgram, 0, program);
        EXPECT_EQ(fx.dispatch(effGetProgram), 0);
        EXPECT_EQ(fx.plug().getParameter(kGain), 0.25f);
    }
    fx.dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(fx.plug().getParameter(kGain), 0.25f) << "program 0 holds the value set last";
}

TEST(Dispatcher, ProgramNames) {
    EffectHandle fx;
    char text[64] = {};
    fx.dispatch(effGetProgramName, 0, 0, text);
    EXPECT_STREQ(text, "None");
    EXPECT_EQ(fx.dispatch(effGetProgramNameIndexed, 0, 0, text), 1);
    EXPECT_STREQ(text, "None");
    std::strcpy(text, "unchanged");
    EXPECT_EQ(fx.dispatch(effGetProgramNameIndexed, 1, 0, text), 0);
    EXPECT_EQ(fx.dispatch(effGetProgramNameIndexed, -1, 0, text), 0);
    EXPECT_STREQ(text, "unchanged");

    char longName[] = "A program name much longer than twenty-three characters";
    fx.dispatch(effSetProgramName, 0, 0, longName);
    fx.dispatch(effGetProgramName, 0, 0, text);
    EXPECT_EQ(std::string(text), std::string(longName).substr(0, 23));
}

TEST(Dispatcher, NullPointersAreAnsweredSafely) {
    EffectHandle fx;
    for (VstInt32 opcode :
         {effGetProgramName, effSetProgramName, effGetParamLabel, effGetParamDisplay,
          effGetParamName, effGetChunk, effSetChunk, effGetVendorString, effGetProductString,
          effGetEffectName, effGetProgramNameIndexed, effCanDo}) {
        EXPECT_EQ(fx.dispatch(opcode, 0, 60, nullptr), 0) << "opcode " << opcode;
    }
}

TEST(Dispatcher, SampleRateMustBeAPositiveNumber) {
    EffectHandle fx;
    fx.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    for (float bad : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity()}) {
        fx.dispatch(effSetSampleRate, 0, 0, nullptr, bad);
        EXPECT_EQ(fx.plug().getSampleRate(), 48000.0f);
    }
    fx.dispatch(effSetBlockSize, 0, 256);
    EXPECT_EQ(fx.plug().getBlockSize(), 256);
}

TEST(Dispatcher, ResumeAsksTheHostForNothing) {
    EffectHandle fx;
    hostCalls().clear();
    fx.dispatch(effMainsChanged, 0, 1);
    fx.dispatch(effMainsChanged, 0, 0);
    EXPECT_TRUE(hostCalls().empty());
}

TEST(Parameters, AutomatedChangeTellsTheHostTheStoredValue) {
    EffectHandle fx;
    hostCalls().clear();
    fx.plug().setParameterAutomated(kGain, 1.5f);
    fx.plug().setParameterAutomated(42, 0.5f);
    ASSERT_EQ(hostCalls().size(), 1u);
    EXPECT_EQ(hostCalls()[0].opcode, audioMasterAutomate);
    EXPECT_EQ(hostCalls()[0].index, kGain);
    EXPECT_EQ(hostCalls()[0].opt, 1.0f);
}

} // namespace
} // namespace kavet::test
