// The plug-in's state is the VST 2.4 chunk: the same bytes for the same settings, the same
// output once loaded into a fresh plug-in, and a stream that is not one whole state (or that
// fails) refused with nothing changed; streams that move a few bytes a call are read and
// written to the end.
#include "clap_fixture.h"

#include "hosts/wintest/clap_script.h"

#include "core/params.h"

#include <cstring>

namespace kavet::test {
namespace {

using namespace clap;
using script::ScriptBlock;

const std::vector<ScriptBlock> kListen = {{512, {}}, {333, {}}};

class ClapState : public ::testing::TestWithParam<Setting> {};

// The values reach the plug-in as a host restores a session: by a flush before activation.
TEST_P(ClapState, IsTheVst2ChunkAndRestoresItsSound) {
    const auto module = loadClapModule();
    const auto vst2 = makeVst2Effect();
    apply(*vst2, GetParam());
    const std::vector<unsigned char> chunk = chunkOf(*vst2);
    ASSERT_EQ(chunk.size(), kStereo ? 60u : 56u);
    {
        TestPlugin p(module);
        ASSERT_TRUE(p->flush(valueEvents(GetParam().values)));
        EXPECT_TRUE(p->saveState() == chunk) << "the state is not the VST 2.4 chunk";
    }
    TestPlugin restored(module);
    ASSERT_TRUE(restored->loadState(chunk));
    EXPECT_TRUE(restored->saveState() == chunk);
    // The host is told to read the values again.
    ASSERT_FALSE(restored->host().paramRescans.empty());
    EXPECT_TRUE(restored->host().paramRescans.back() & kParamRescanValues);
    for (int i = 0; i < kNumParams; ++i)
        EXPECT_EQ(restored->value(static_cast<Id>(i)), static_cast<double>(vst2->getParameter(i)))
            << kParamInfo[i].name;
    const script::Rendering heard = script::renderClap(*restored, false, kListen);
    const script::Rendering wanted = renderVst2Reference(*vst2, false, kListen);
    EXPECT_TRUE(heard.bytes == wanted.bytes) << firstDifference(heard.bytes, wanted.bytes, 4);
}

INSTANTIATE_TEST_SUITE_P(Settings, ClapState, ::testing::ValuesIn(kSettings),
                         [](const auto& info) { return std::string(info.param.name); });

// Streams of every kind a host may hand over: whole states through streams that move few
// bytes a call are taken; anything else (another length, a failure, an early end, a count
// the stream was not asked for) is refused, and the state, the values and the sound stay.
struct LoadCase {
    const char* name;
    int lengthChange; // bytes added to (or taken from) the end of the state; kBytes + n: n
    host::StreamFaults faults;
    bool taken;
};

void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << c.name;
}

constexpr int kBytes = -100000;
constexpr int kOtherLength = kStereo ? -4 : 4; // to the other configuration's state

const LoadCase kLoads[] = {
    {"Whole", 0, {}, true},
    {"OneByteARead", 0, {.chunk = 1}, true},
    {"SevenBytesARead", 0, {.chunk = 7}, true},
    {"Empty", kBytes + 0, {}, false},
    {"OneByteShort", -1, {}, false},
    {"OneByteOver", 1, {}, false},
    {"TheOtherConfigurationsLength", kOtherLength, {}, false},
    {"OneWord", kBytes + 4, {}, false},
    {"FailsAtByte30", 0, {.failAt = 30}, false},
    {"FailsAtItsEnd", 0, {.failAt = kStereo ? 60u : 56u}, false},
    {"EndsAtByte30", 0, {.endAt = 30}, false},
    {"ClaimsMoreThanAsked", 0, {.claimAt = 1, .claimExtra = 1000}, false},
    {"ClaimsMoreOnItsLastRead", 0, {.chunk = 8, .claimAt = 8, .claimExtra = 1}, false},
    {"ClaimsAnErrorOfItsOwn", 0, {.chunk = 8, .claimAt = 2, .claimExtra = -20}, false},
};

class ClapStateLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(ClapStateLoad, TakesWholeStatesOnly) {
    const LoadCase& c = GetParam();
    const auto module = loadClapModule();
    const auto vst2 = makeVst2Effect();
    const Setting before = {"Before", {{kGain, 0.25}, {kPhase, 1.0}}};
    apply(*vst2, before);
    // Another setting's bytes: taking any part of them would show.
    const Setting loud = {"Loud", {{kGain, 1.0}, {kTrim, 0.1}, {kMute, 1.0}}};
    std::vector<unsigned char> bytes;
    {
        TestPlugin other(module);
        ASSERT_TRUE(other->flush(valueEvents(loud.values)));
        bytes = other->saveState().value_or(std::vector<unsigned char>{});
    }
    const int length = c.lengthChange < kBytes / 2
                           ? c.lengthChange - kBytes
                           : static_cast<int>(bytes.size()) + c.lengthChange;
    bytes.resize(static_cast<std::size_t>(length), 0x3F);

    TestPlugin p(module);
    ASSERT_TRUE(p->flush(valueEvents(before.values)));
    const auto state = p->saveState();
    ASSERT_TRUE(state == chunkOf(*vst2));
    host::MemoryInputStream stream(bytes, c.faults);
    EXPECT_EQ(p->state()->load(p->plugin(), stream.get()), c.taken);
    EXPECT_EQ(stream.callsAfterEnd(), 0) << "read on after the stream's end or error";
    if (c.taken) return;
    EXPECT_TRUE(p->saveState() == state);
    EXPECT_EQ(p->value(kGain), 0.25);
    EXPECT_EQ(p->value(kMute), 0.0);
    const script::Rendering heard = script::renderClap(*p, false, kListen);
    const script::Rendering wanted = renderVst2Reference(*vst2, false, kListen);
    EXPECT_TRUE(heard.bytes == wanted.bytes) << firstDifference(heard.bytes, wanted.bytes, 4);
}

INSTANTIATE_TEST_SUITE_P(Streams, ClapStateLoad, ::testing::ValuesIn(kLoads),
                         [](const auto& info) { return std::string(info.param.name); });

// Saving: a stream that takes few bytes a call gets them all; one that fails is answered false.
TEST(ClapStateSave, WritesToTheEndOrFails) {
    TestPlugin p(loadClapModule());
    ASSERT_TRUE(p->flush(valueEvents({{kGain, 0.75}})));
    const auto whole = p->saveState();
    ASSERT_TRUE(whole);
    struct Case {
        const char* name;
        host::StreamFaults faults;
        bool saved;
    } const cases[] = {
        {"one byte a write", {.chunk = 1}, true},
        {"five bytes a write", {.chunk = 5}, true},
        {"fails at once", {.failAt = 0}, false},
        {"fails at byte 20", {.chunk = 4, .failAt = 20}, false},
    };
    for (const Case& c : cases) {
        host::MemoryOutputStream stream(c.faults);
        EXPECT_EQ(p->state()->save(p->plugin(), stream.get()), c.saved) << c.name;
        if (c.saved) {
            EXPECT_TRUE(stream.bytes() == *whole) << c.name;
        }
        EXPECT_EQ(stream.callsAfterError(), 0) << c.name;
    }
}

} // namespace
} // namespace kavet::test
