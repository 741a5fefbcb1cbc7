// The plug-in's output equals the VST 2.4 effect's to the bit for the same signal and
// parameter changes: on block boundaries at every block size (0 too), and within blocks,
// where an event must land at its own sample; events that are not this effect's change
// nothing; the output's constant mask marks exactly the silent channels.
#include "channel_buffers.h"
#include "clap_fixture.h"
#include "impulse_block.h"
#include "vst2_reference.h"

#include "hosts/wintest/block_signal.h"
#include "hosts/wintest/clap_script.h"

#include <algorithm>

namespace kavet::test {
namespace {

using namespace clap;
using script::ScriptBlock;

script::Rendering rendered(bool wide, const std::vector<ScriptBlock>& blocks) {
    TestPlugin p(loadClapModule());
    return script::renderClap(*p, wide, blocks);
}

class ClapAudio : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(ClapAudio, EqualsTheVst2EffectBitForBit) {
    expectBoundaryChanges(rendered, GetParam());
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, ClapAudio, ::testing::ValuesIn(boundaryCases()),
                         [](const auto& info) { return boundaryCaseName(info.param); });

TEST(ClapMidBlock, EventsLandAtTheirSamples) {
    expectMidBlockChanges(rendered);
}

// Events a host may send that are not this effect's (another space, an id it does not have,
// a modulation, notes, a value event cut short) change nothing: the output is the VST 2.4
// effect's without them.
struct ForeignEvent {
    const char* name;
    std::vector<unsigned char> bytes;
};

template <class Event> std::vector<unsigned char> bytesOf(const Event& e, std::size_t size) {
    const auto* first = reinterpret_cast<const unsigned char*>(&e);
    return {first, first + size};
}

std::vector<ForeignEvent> foreignEvents() {
    ParamValueEvent otherSpace = host::paramValueEvent(10, kGain, 0.0);
    otherSpace.header.space_id = 1;
    ParamValueEvent mod = host::paramValueEvent(10, kGain, 0.0);
    mod.header.type = kEventParamMod;
    ParamValueEvent noteOn = host::paramValueEvent(10, kGain, 0.0);
    noteOn.header.type = kEventNoteOn;
    ParamValueEvent cut = host::paramValueEvent(10, kGain, 0.0);
    cut.header.size = sizeof(ParamValueEvent) - 8; // the value left out
    const ParamValueEvent pastTheLast = host::paramValueEvent(10, kNumParams, 0.0);
    const ParamValueEvent largest = host::paramValueEvent(10, kInvalidId, 0.0);
    const ParamGestureEvent gesture = host::gestureEvent(kEventParamGestureBegin, 10, kGain);
    return {
        {"AnotherSpace", bytesOf(otherSpace, sizeof otherSpace)},
        {"TheFirstIdPastTheLast", bytesOf(pastTheLast, sizeof pastTheLast)},
        {"TheLargestId", bytesOf(largest, sizeof largest)},
        {"AModulation", bytesOf(mod, sizeof mod)},
        {"ANoteOn", bytesOf(noteOn, sizeof noteOn)},
        {"AValueCutShort", bytesOf(cut, cut.header.size)},
        {"AGestureOnly", bytesOf(gesture, sizeof gesture)},
    };
}

TEST(ClapForeignEvents, ChangeNothing) {
    const std::vector<ScriptBlock> plain = {{256, {{0, kGain, 0.6f}}}, {256, {}}, {256, {}}};
    const script::Rendering wanted = renderVst2Reference(false, plain);
    for (const ForeignEvent& f : foreignEvents()) {
        SCOPED_TRACE(f.name);
        TestPlugin p(loadClapModule());
        const script::Rendering heard = script::renderClap(
            *p, false, plain,
            [](std::size_t block, host::EventList& events, const void* bytes) {
                const auto& foreign = *static_cast<const std::vector<unsigned char>*>(bytes);
                if (block == 1) {
                    ASSERT_TRUE(events.pushRaw(foreign));
                }
            },
            &f.bytes);
        EXPECT_TRUE(heard.ok);
        EXPECT_TRUE(heard.bytes == wanted.bytes) << firstDifference(heard.bytes, wanted.bytes, 4);
    }
}

// In place: the output port shares the input's buffers (its in-place pair), as hosts that
// process in place give them; the output is the one out of place.
template <class Sample> std::vector<Sample> inPlaceOrNot(bool inPlace) {
    TestPlugin p(loadClapModule());
    EXPECT_TRUE(p->activate(44100.0, 1, 512) && p->startProcessing());
    std::vector<Sample> all;
    script::Signal signal(7);
    for (int block = 0; block < 4; ++block) {
        ChannelBuffers<Sample> b(kNumChannels, kNumChannels, 512, 0, 0);
        for (int c = 0; c < kNumChannels; ++c) {
            for (Sample& x : b.in[c])
                x = static_cast<Sample>(signal.next());
            std::copy(b.in[c].begin(), b.in[c].end(), b.out[c].begin());
            if (inPlace) b.inputs[c] = b.out[c].data();
        }
        const host::EventList events =
            valueEvents({{kGain, 0.2 * block + 0.1}, {kTrim, 0.7}, {kPhase, block % 2}});
        EXPECT_EQ(p->process(b.inputs.data(), b.outputs.data(), 512, events).status,
                  kProcessContinue);
        for (const auto& c : b.out)
            all.insert(all.end(), c.begin(), c.end());
    }
    return all;
}

TEST(ClapInPlace, EqualsOutOfPlace) {
    EXPECT_TRUE(inPlaceOrNot<float>(true) == inPlaceOrNot<float>(false));
    EXPECT_TRUE(inPlaceOrNot<double>(true) == inPlaceOrNot<double>(false));
}

// The constant mask of the output (impulse_block.h).
template <class Sample> uint64 maskFor(host::ClapPlugin& p, const ImpulseCase& c, int channel) {
    const ChannelBuffers<Sample> b = impulseBlock<Sample>(c, channel);
    const host::ClapProcessResult r = p.process(
        b.inputs.data(), b.outputs.data(), static_cast<uint32>(c.frames), host::EventList(1, 64));
    EXPECT_EQ(r.status, kProcessContinue);
    return r.constantMask;
}

TEST(ClapConstantMask, MarksExactlyTheSilentChannels) {
    for (bool wide : {false, true}) {
        TestPlugin p(loadClapModule());
        ASSERT_TRUE(p->activate(44100.0, 1, 512) && p->startProcessing());
        expectSilentChannelsMarked(wide, [&](const ImpulseCase& c, int channel) {
            return wide ? maskFor<double>(*p, c, channel) : maskFor<float>(*p, c, channel);
        });
    }
}

} // namespace
} // namespace kavet::test
