// The VST 3 effect's output equals the VST 2.4 effect's to the bit for the same signal and
// parameter changes: on block boundaries at every block size (0 too), and within blocks,
// where a change must land at its own sample.
#include "vst3_fixture.h"

#include "hosts/wintest/vst3_script.h"

namespace kavet::test {
namespace {

using script::ScriptBlock;

// Where two renderings first part, in samples of `width` bytes.
std::string firstDifference(const std::vector<unsigned char>& a,
                            const std::vector<unsigned char>& b, std::size_t width) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    return "first difference at sample " + std::to_string(at / width) + " of " +
           std::to_string(a.size() / width) + " (VST 3) and " + std::to_string(b.size() / width) +
           " (VST 2.4)";
}

struct Rendered {
    script::Rendering vst3, vst2;
};

Rendered render(const std::vector<ScriptBlock>& blocks, bool wide) {
    const auto module = loadBundle();
    const auto fx = makeEffect(module);
    const auto vst2 = makeVst2Effect();
    Rendered r{script::renderVst3(*fx, wide, blocks),
               script::renderVst2(const_cast<AEffect*>(&vst2->effect()), wide, blocks)};
    return r;
}

void expectEqual(const Rendered& r, bool wide) {
    EXPECT_TRUE(r.vst3.ok) << "a process call was refused";
    EXPECT_EQ(r.vst3.wrongSilenceFlags, 0) << "blocks whose silence flags are wrong";
    ASSERT_FALSE(r.vst2.bytes.empty());
    EXPECT_TRUE(r.vst3.bytes == r.vst2.bytes)
        << firstDifference(r.vst3.bytes, r.vst2.bytes, wide ? 8 : 4);
}

struct BoundaryCase {
    bool wide;
    int frames;
};

void PrintTo(const BoundaryCase& c, std::ostream* out) {
    *out << (c.wide ? "64-bit, " : "32-bit, ") << c.frames << " frames";
}

class Vst3Audio : public Vst3Test, public ::testing::WithParamInterface<BoundaryCase> {};

TEST_P(Vst3Audio, EqualsTheVst2EffectBitForBit) {
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

INSTANTIATE_TEST_SUITE_P(BlockSizes, Vst3Audio, ::testing::ValuesIn(boundaryCases()),
                         [](const auto& info) {
                             return std::string(info.param.wide ? "Double" : "Float") +
                                    std::to_string(info.param.frames) + "Frames";
                         });

// One block of 512 with changes inside it, after a block that sets the glides going and
// before one that shows where they went.
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
    {"PanAtSample200", {{200, kPan, 0.1f}}},
};

std::vector<ScriptBlock> midBlockScript(const std::vector<script::ScriptChange>& changes) {
    return {{256, {{0, kGain, 0.6f}}}, {512, changes}, {128, {}}};
}

class Vst3MidBlock : public Vst3Test {};

TEST_F(Vst3MidBlock, ChangesLandAtTheirSamples) {
    for (bool wide : {false, true}) {
        for (const MidBlockCase& c : kMidBlock) {
            if (!kStereo && c.changes[0].index == kPan) continue;
            SCOPED_TRACE(std::string(c.name) + (wide ? " double" : " float"));
            const Rendered r = render(midBlockScript(c.changes), wide);
            expectEqual(r, wide);
            // Landing at the block's start instead would show.
            std::vector<script::ScriptChange> atStart = c.changes;
            for (auto& change : atStart)
                change.offset = 0;
            EXPECT_FALSE(render(midBlockScript(atStart), wide).vst2.bytes == r.vst2.bytes);
        }
    }
}

// The output's silence flags: a channel is flagged exactly when every sample of the block is
// zero. One sample of 0.5 in an otherwise silent input, at each place a scan could miss it
// (the middle, next to either end, the last bytes past a whole step).
struct SilenceCase {
    int frames;
    int at; // the sample of the impulse; -1: none
};
const SilenceCase kSilence[] = {{512, 256}, {512, 1}, {512, 510}, {37, 35}, {37, 33},
                                {16, 8},    {3, 1},   {1, -1},    {512, -1}};

template <class Sample>
vst3::uint64 flagsFor(host::Vst3Plugin& fx, const SilenceCase& c, int channel) {
    std::vector<std::vector<Sample>> in(kNumChannels, std::vector<Sample>(c.frames, Sample(0)));
    std::vector<std::vector<Sample>> out(kNumChannels, std::vector<Sample>(c.frames, Sample(7)));
    if (c.at >= 0) in[channel][c.at] = Sample(0.5);
    std::vector<const Sample*> inputs;
    std::vector<Sample*> outputs;
    for (int ch = 0; ch < kNumChannels; ++ch) {
        inputs.push_back(in[ch].data());
        outputs.push_back(out[ch].data());
    }
    const host::ProcessResult r = fx.process(inputs.data(), outputs.data(), c.frames);
    EXPECT_TRUE(r.ok);
    return r.silenceFlags;
}

TEST_F(Vst3Test, SilenceFlagsMarkTheChannelsThatAreExactlyZero) {
    const auto module = loadBundle();
    for (bool wide : {false, true}) {
        const auto fx = makeEffect(module);
        ASSERT_TRUE(fx->setup(44100.0, 512, wide ? vst3::kSample64 : vst3::kSample32));
        ASSERT_TRUE(fx->activate());
        const vst3::uint64 all = (vst3::uint64{1} << kNumChannels) - 1;
        for (const SilenceCase& c : kSilence) {
            for (int channel = 0; channel < kNumChannels; ++channel) {
                SCOPED_TRACE(std::to_string(c.frames) + " frames, impulse at " +
                             std::to_string(c.at) + ", channel " + std::to_string(channel) +
                             (wide ? ", double" : ", float"));
                const vst3::uint64 expected = c.at < 0 ? all : all & ~(vst3::uint64{1} << channel);
                EXPECT_EQ(wide ? flagsFor<double>(*fx, c, channel)
                               : flagsFor<float>(*fx, c, channel),
                          expected);
            }
        }
        fx->deactivate();
    }
}

} // namespace
} // namespace kavet::test
