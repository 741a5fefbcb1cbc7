// The plug-in's output equals the VST 2.4 effect's to the bit for the same signal and
// parameter changes: on block boundaries at every block size (0 too), and within blocks,
// where an event must land at its own sample; events that are not this effect's change
// nothing; the output's constant mask marks exactly the silent channels.
#include "clap_fixture.h"

#include "hosts/wintest/clap_script.h"

namespace kavet::test {
namespace {

using namespace clap;
using script::ScriptBlock;

struct Rendered {
    script::Rendering clap, vst2;
};

Rendered render(const std::vector<ScriptBlock>& blocks, bool wide) {
    TestPlugin p(loadClapModule());
    const auto vst2 = makeVst2Effect();
    return {script::renderClap(*p, wide, blocks),
            script::renderVst2(const_cast<AEffect*>(&vst2->effect()), wide, blocks)};
}

void expectEqual(const Rendered& r, bool wide) {
    EXPECT_TRUE(r.clap.ok) << "a block was refused or answered with an error";
    EXPECT_EQ(r.clap.wrongSilenceFlags, 0) << "blocks whose constant mask is wrong";
    ASSERT_FALSE(r.vst2.bytes.empty());
    EXPECT_TRUE(r.clap.bytes == r.vst2.bytes)
        << firstDifference(r.clap.bytes, r.vst2.bytes, wide ? 8 : 4);
}

struct BoundaryCase {
    bool wide;
    int frames;
};

void PrintTo(const BoundaryCase& c, std::ostream* out) {
    *out << (c.wide ? "64-bit, " : "32-bit, ") << c.frames << " frames";
}

class ClapAudio : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(ClapAudio, EqualsTheVst2EffectBitForBit) {
    expectEqual(render(script::boundaryScript(GetParam().frames), GetParam().wide),
                GetParam().wide);
}

std::vector<BoundaryCase> boundaryCases() {
    std::vector<BoundaryCase> cases;
    for (bool wide : {false, true})
        for (int frames : {0, 1, 7, 64, 333, script::kScriptMaxBlock})
            cases.push_back({wide, frames});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, ClapAudio, ::testing::ValuesIn(boundaryCases()),
                         [](const auto& info) {
                             return std::string(info.param.wide ? "Double" : "Float") +
                                    std::to_string(info.param.frames) + "Frames";
                         });

// One block of 512 with events inside it, after a block that sets the glides going and before
// one that shows where they went; the same events moved to the block's start sound otherwise.
struct MidBlockCase {
    const char* name;
    std::vector<script::ScriptChange> changes;
};

const MidBlockCase kMidBlock[] = {
    {"GainAtSample100", {{100, kGain, 0.25f}}},
    {"GainAtTheLastSample", {{511, kGain, 1.0f}}},
    {"MuteAtSample1", {{1, kMute, 1.0f}}},
    {"PhaseThenBypass", {{37, kPhase, 1.0f}, {300, kBypass, 1.0f}}},
    {"GainTwiceInOneBlock", {{64, kGain, 0.0f}, {256, kGain, 0.75f}}},
    {"TrimAtTheStartGainInside", {{0, kTrim, 0.9f}, {129, kGain, 0.3f}}},
    {"TwoAtTheSameSample", {{200, kGain, 0.1f}, {200, kTrim, 0.2f}}},
    {"PanAtSample200", {{200, kPan, 0.1f}}},
};

std::vector<ScriptBlock> midBlockScript(const std::vector<script::ScriptChange>& changes) {
    return {{256, {{0, kGain, 0.6f}}}, {512, changes}, {128, {}}};
}

TEST(ClapMidBlock, EventsLandAtTheirSamples) {
    for (bool wide : {false, true}) {
        for (const MidBlockCase& c : kMidBlock) {
            if (!kStereo && c.changes[0].index == kPan) continue;
            SCOPED_TRACE(std::string(c.name) + (wide ? " double" : " float"));
            const Rendered r = render(midBlockScript(c.changes), wide);
            expectEqual(r, wide);
            std::vector<script::ScriptChange> atStart = c.changes;
            for (auto& change : atStart)
                change.offset = 0;
            EXPECT_FALSE(render(midBlockScript(atStart), wide).clap.bytes == r.clap.bytes);
        }
    }
    // The script of the Windows host's suite, several blocks in a row.
    expectEqual(render(script::midBlockScript(), false), false);
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
    const auto vst2 = makeVst2Effect();
    const script::Rendering wanted =
        script::renderVst2(const_cast<AEffect*>(&vst2->effect()), false, plain);
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

// The constant mask of the output: a channel is marked exactly when every sample of the block
// is zero. One sample of 0.5 in an otherwise silent input, at each place a scan could miss it.
struct SilenceCase {
    uint32 frames;
    int at; // the sample of the impulse; -1: none
};
const SilenceCase kSilence[] = {{512, 256}, {512, 0}, {512, 1}, {512, 511}, {37, 36},
                                {37, 33},   {16, 8},  {3, 1},   {1, -1},    {512, -1}};

template <class Sample> uint64 maskFor(host::ClapPlugin& p, const SilenceCase& c, int channel) {
    std::vector<std::vector<Sample>> in(kNumChannels, std::vector<Sample>(c.frames, Sample(0)));
    std::vector<std::vector<Sample>> out(kNumChannels, std::vector<Sample>(c.frames, Sample(7)));
    if (c.at >= 0) in[channel][c.at] = Sample(0.5);
    std::vector<const Sample*> inputs;
    std::vector<Sample*> outputs;
    for (int ch = 0; ch < kNumChannels; ++ch) {
        inputs.push_back(in[ch].data());
        outputs.push_back(out[ch].data());
    }
    const host::ClapProcessResult r =
        p.process(inputs.data(), outputs.data(), c.frames, host::EventList(1, 64));
    EXPECT_EQ(r.status, kProcessContinue);
    return r.constantMask;
}

TEST(ClapConstantMask, MarksExactlyTheSilentChannels) {
    const uint64 all = (uint64{1} << kNumChannels) - 1;
    for (bool wide : {false, true}) {
        TestPlugin p(loadClapModule());
        ASSERT_TRUE(p->activate(44100.0, 1, 512) && p->startProcessing());
        for (const SilenceCase& c : kSilence) {
            for (int channel = 0; channel < kNumChannels; ++channel) {
                SCOPED_TRACE(std::to_string(c.frames) + " frames, impulse at " +
                             std::to_string(c.at) + ", channel " + std::to_string(channel) +
                             (wide ? ", double" : ", float"));
                const uint64 expected = c.at < 0 ? all : all & ~(uint64{1} << channel);
                EXPECT_EQ(wide ? maskFor<double>(*p, c, channel) : maskFor<float>(*p, c, channel),
                          expected);
            }
        }
    }
}

} // namespace
} // namespace kavet::test
