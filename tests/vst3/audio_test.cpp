// The VST 3 effect's output equals the VST 2.4 effect's to the bit for the same signal and
// parameter changes: on block boundaries at every block size (0 too), and within blocks,
// where a change must land at its own sample.
#include "vst3_fixture.h"

#include "impulse_block.h"
#include "vst2_reference.h"

#include "hosts/wintest/vst3_script.h"

namespace kavet::test {
namespace {

script::Rendering rendered(bool wide, const std::vector<script::ScriptBlock>& blocks) {
    return script::renderVst3(*makeEffect(loadBundle()), wide, blocks);
}

class Vst3Audio : public Vst3Test, public ::testing::WithParamInterface<BoundaryCase> {};

TEST_P(Vst3Audio, EqualsTheVst2EffectBitForBit) {
    expectBoundaryChanges(rendered, GetParam());
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, Vst3Audio, ::testing::ValuesIn(boundaryCases()),
                         [](const auto& info) { return boundaryCaseName(info.param); });

class Vst3MidBlock : public Vst3Test {};

TEST_F(Vst3MidBlock, ChangesLandAtTheirSamples) {
    expectMidBlockChanges(rendered);
}

// The output's silence flags (impulse_block.h).
template <class Sample>
vst3::uint64 flagsFor(host::Vst3Plugin& fx, const ImpulseCase& c, int channel) {
    const ChannelBuffers<Sample> b = impulseBlock<Sample>(c, channel);
    const host::ProcessResult r = fx.process(b.inputs.data(), b.outputs.data(), c.frames);
    EXPECT_TRUE(r.ok);
    return r.silenceFlags;
}

TEST_F(Vst3Test, SilenceFlagsMarkTheChannelsThatAreExactlyZero) {
    const auto module = loadBundle();
    for (bool wide : {false, true}) {
        const auto fx = makeEffect(module);
        ASSERT_TRUE(fx->setup(44100.0, 512, wide ? vst3::kSample64 : vst3::kSample32));
        ASSERT_TRUE(fx->activate());
        expectSilentChannelsMarked(wide, [&](const ImpulseCase& c, int channel) {
            return wide ? flagsFor<double>(*fx, c, channel) : flagsFor<float>(*fx, c, channel);
        });
        fx->deactivate();
    }
}

} // namespace
} // namespace kavet::test
