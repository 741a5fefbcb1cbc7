// Audio and meters through the simulated host: the host's meter report, and the host-format
// modules rendering exactly what the VST modules of the same build render.
#include "ptsim_support.h"

#include "hosts/common/vst_module.h"
#include "hosts/common/vst_plugin.h"

#include <cstring>
#include <gtest/gtest.h>

namespace kavet::test {
namespace {

using ptsim::PtInstance;

class AudioTest : public testing::TestWithParam<Build> {
protected:
    AudioTest() : open(GetParam()), instance(*open.module, 0, 48000) {}
    // One block of a constant level on every channel.
    void renderLevel(float level, int frames = 256) {
        const int channels = GetParam().channels;
        std::vector<std::vector<float>> in(channels, std::vector<float>(frames, level));
        std::vector<std::vector<float>> out(channels, std::vector<float>(frames));
        instance.renderChannels(in, out, frames);
    }
    OpenModule open;
    PtInstance instance;
};

TEST_P(AudioTest, MeterReportScalesFullScaleTo2Pow31) {
    struct Row {
        float level;
        std::int32_t value;
        char clip;
    };
    const Row rows[] = {
        {0.5f, 1073741824, 0},
        {1.0f, static_cast<std::int32_t>(0x80000000u), 0}, // exactly 1.0 is not a clip
        {0.25f, 536870912, 0},
    };
    for (const Row& row : rows) {
        PtInstance fresh(*open.module, 0, 48000);
        const int channels = GetParam().channels;
        std::vector<std::vector<float>> in(channels, std::vector<float>(64, row.level));
        std::vector<std::vector<float>> out(channels, std::vector<float>(64));
        fresh.renderChannels(in, out, 64);
        const ptsim::MeterReport report = fresh.meters();
        ASSERT_EQ(report.values.size(), static_cast<std::size_t>(channels));
        for (int c = 0; c < channels; ++c) {
            EXPECT_EQ(report.values[c], row.value) << row.level;
            EXPECT_EQ(report.clips[c], row.clip) << row.level;
        }
        EXPECT_FALSE(fresh.clipIndicator());
    }
}

TEST_P(AudioTest, LevelsAboveFullScaleReportMinusOneAndClip) {
    renderLevel(1.5f);
    const ptsim::MeterReport report = instance.meters();
    for (std::size_t c = 0; c < report.values.size(); ++c) {
        EXPECT_EQ(report.values[c], -1);
        EXPECT_EQ(report.clips[c], 1);
    }
    EXPECT_TRUE(instance.clipIndicator());
    instance.routines().clearClipIndicator(instance.handle());
    EXPECT_FALSE(instance.clipIndicator());
}

TEST_P(AudioTest, HeldPeaksFallTo07PerReportWithoutFreshPeaks) {
    renderLevel(0.5f);
    float held = 0.5f;
    for (int report = 0; report < 4; ++report) {
        const ptsim::MeterReport r = instance.meters();
        const auto expected =
            static_cast<std::int32_t>(static_cast<std::int64_t>(held * 2147483648.0));
        EXPECT_EQ(r.values[0], expected) << "report " << report;
        held = static_cast<float>(held * 0.7);
    }
    // A fresh peak above the held value takes over at once.
    renderLevel(0.75f);
    EXPECT_EQ(instance.meters().values[0], 1610612736);
}

TEST_P(AudioTest, FreshPeakIsTheHighestAbsoluteOutputOfTheBlocks) {
    const int channels = GetParam().channels;
    std::vector<std::vector<float>> in(channels, std::vector<float>(128, 0.125f));
    in[0][77] = -0.5f;
    std::vector<std::vector<float>> out(channels, std::vector<float>(128));
    instance.renderChannels(in, out, 32);
    const ptsim::MeterReport report = instance.meters();
    EXPECT_EQ(report.values[0], 1073741824);
    if (channels == 2) {
        EXPECT_EQ(report.values[1], 268435456);
    }
}

TEST_P(AudioTest, RenderWithZeroOutputChannelsWritesNothing) {
    instance.setChannelCounts(GetParam().channels, 0);
    std::vector<float> in(64, 0.5f), out(64, 3.0f);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {out.data(), out.data()};
    instance.render(inputs, outputs, 64);
    EXPECT_EQ(out, std::vector<float>(64, 3.0f));
    EXPECT_TRUE(instance.meters().values.empty());
}

TEST_P(AudioTest, ResetTakesTheSettingsAtOnceWhereAControlMoveGlides) {
    // Mute set after the process was created glides to zero; after a reset the very first
    // sample is silent, and the gain left alone is unity from the first sample.
    struct Row {
        bool reset;
        bool silentFromTheStart;
    };
    for (const Row row : {Row{false, false}, Row{true, true}}) {
        PtInstance fresh(*open.module, 0, 48000);
        ASSERT_EQ(fresh.setControl(4, 1), 0);
        if (row.reset) fresh.resetAlgorithm();
        const int channels = GetParam().channels;
        std::vector<std::vector<float>> in(channels, std::vector<float>(64, 0.5f));
        std::vector<std::vector<float>> out(channels, std::vector<float>(64, 9.0f));
        fresh.renderChannels(in, out, 64);
        for (int c = 0; c < channels; ++c)
            EXPECT_EQ(out[c][0] == 0.0f, row.silentFromTheStart) << out[c][0];
    }
}

// The VST module of the same build, driven the way `kavet process` drives it.
struct VstReference {
    explicit VstReference(const Build& build)
        : module(std::make_shared<const host::VstModule>(build.vstModule)), plugin(module) {
        plugin.setSampleRate(48000.0f);
        plugin.setBlockSize(512);
        plugin.resume();
    }
    void process(std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                 std::size_t at, int frames) {
        std::vector<float*> inputs, outputs;
        for (std::size_t c = 0; c < in.size(); ++c) {
            inputs.push_back(in[c].data() + at);
            outputs.push_back(out[c].data() + at);
        }
        plugin.process(inputs.data(), outputs.data(), frames, static_cast<int>(out.size()));
    }
    std::shared_ptr<const host::VstModule> module;
    host::VstPlugin plugin;
};

TEST_P(AudioTest, RendersSampleForSampleWhatTheVstModuleRenders) {
    const Build& build = GetParam();
    constexpr int kBlock = 512, kFrames = 94 * kBlock, kChange = 24 * kBlock;
    auto in = testSignal(build.channels, kFrames, 7);
    std::vector<std::vector<float>> viaHost(build.channels, std::vector<float>(kFrames));
    std::vector<std::vector<float>> viaVst = viaHost;
    VstReference vst(build);

    std::vector<float*> inputs(build.channels), outputs(build.channels);
    for (int at = 0; at < kFrames; at += kBlock) {
        if (at == kChange) {
            // The same moves on both: a gain step, the phase flip, and (stereo) pan.
            ASSERT_EQ(instance.setControl(1, 1500000000), 0);
            ASSERT_EQ(instance.setControl(3, 1), 0);
            if (build.channels == 2) {
                ASSERT_EQ(instance.setControl(6, -700000000), 0);
            }
            const std::vector<float> now = paramsOf(instance.saveChunk(kVlmr), build.controls);
            vst.plugin.setParameter(0, now[0]);
            vst.plugin.setParameter(2, 1.0f);
            if (build.channels == 2) vst.plugin.setParameter(5, now[5]);
        }
        for (int c = 0; c < build.channels; ++c) {
            inputs[c] = in[c].data() + at;
            outputs[c] = viaHost[c].data() + at;
        }
        instance.render(inputs.data(), outputs.data(), kBlock);
        vst.process(in, viaVst, static_cast<std::size_t>(at), kBlock);
    }
    for (int c = 0; c < build.channels; ++c) {
        ASSERT_EQ(std::memcmp(viaHost[c].data(), viaVst[c].data(), kFrames * sizeof(float)), 0)
            << "channel " << c;
        EXPECT_NE(viaHost[c][kFrames - 1], in[c][kFrames - 1]); // the moves did change the sound
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, AudioTest, testing::Values(kStereoBuild, kMonoBuild), buildName);

} // namespace
} // namespace kavet::test
