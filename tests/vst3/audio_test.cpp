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

} // namespace
} // namespace kavet::test
