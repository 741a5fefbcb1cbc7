// kavet process through the LV2 plug-ins, named by their bundle or their URI: the output of
// each equals that of the VST module of the same configuration, sample for sample.
#include "cli_checks.h"

namespace kavet::test {
namespace {

const std::string kBundle = KAVET_LV2_BUNDLE;

struct Lv2Case {
    const char* name;
    int channels;
    std::string plugin; // the bundle (which picks by channel count) or a plug-in URI
    std::vector<std::string> options;
};

TEST(KavetLv2, ProcessingEqualsTheVstModuleBitForBit) {
    // Every setting reaches the effect before its first sample: a glide from the defaults,
    // or a port value one step off the setting, shows in the first samples. -26 dB and
    // -19 dB are gains whose dB value rounded to single precision is one step off the port
    // value that gives the setting back.
    const Lv2Case cases[] = {
        {"defaults", 2, kBundle, {}},
        {"gain -6 dB, pan L30, phase",
         2,
         "urn:velmorant:kavet:stereo",
         {"--gain", "-6", "--pan", "L30", "--phase"}},
        {"trim, pan R77, block 7", 2, kBundle, {"--trim", "-7.5", "--pan", "R77", "--block", "7"}},
        {"gain near the top, trim", 2, kBundle, {"--gain", "17.9", "--trim", "4.5"}},
        {"mute", 2, kBundle, {"--mute", "--gain", "-6"}},
        {"bypass", 2, kBundle, {"--bypass", "--gain", "-6", "--trim", "3"}},
        {"mono: gain, trim, phase",
         1,
         kBundle,
         {"--gain", "-26", "--trim", "3", "--phase", "--block", "100"}},
        {"three channels: one Kavet Mono each", 3, kBundle, {"--gain", "-19"}},
    };
    TempFolder dir;
    for (const Lv2Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Audio in = testSignal(c.channels, 5000);
        writeAudio(dir / "in.wav", in);
        auto run = [&](const std::string& plugin, const std::string& out) {
            std::vector<std::string> args = {"process", dir / "in.wav", dir / out, "--plugin",
                                             plugin};
            args.insert(args.end(), c.options.begin(), c.options.end());
            runKavetOk(args);
            return readAudio(dir / out);
        };
        const Audio vst = run(c.channels == 2 ? KAVET_STEREO_MODULE : KAVET_MONO_MODULE, "vst.wav");
        const Audio lv2 = run(c.plugin, "lv2.wav");
        EXPECT_EQ(lv2.channels, c.channels);
        EXPECT_EQ(lv2.sampleRate, in.sampleRate);
        ASSERT_EQ(lv2.samples.size(), vst.samples.size());
        for (std::size_t i = 0; i < vst.samples.size(); ++i)
            ASSERT_EQ(lv2.samples[i], vst.samples[i])
                << "sample " << i / c.channels << ", channel " << i % c.channels;
    }
}

} // namespace
} // namespace kavet::test
