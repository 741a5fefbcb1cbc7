// kavet through the CLAP module: the output equals that of the VST 2.4 module of the same
// configuration bit for bit, with the plug-in that fits the file picked, and info describes
// the plug-ins and their parameters.
#include "cli_checks.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace kavet::test {
namespace {

const std::string kModule = KAVET_CLAP_MODULE;

// Standard output after its first line (which names the files).
std::string afterFirstLine(const std::string& out) {
    return out.substr(std::min(out.size(), out.find('\n') + 1));
}

TEST(KavetClap, ProcessingEqualsTheVstModuleBitForBit) {
    struct Case {
        const char* name;
        int channels;
        std::vector<std::string> options;
    };
    // Every setting reaches the effect before its first sample: a glide from the defaults,
    // or a setting left out, shows in the first samples.
    const Case cases[] = {
        {"defaults", 2, {}},
        {"gain, pan L30, phase, block 100",
         2,
         {"--gain", "-6", "--pan", "L30", "--phase", "--block", "100"}},
        {"trim, pan R77, block 7", 2, {"--trim", "-7.5", "--pan", "R77", "--block", "7"}},
        {"64-bit: gain near the top, trim", 2, {"--gain", "17.9", "--trim", "4.5", "--double"}},
        {"mute", 2, {"--mute", "--gain", "-6"}},
        {"64-bit bypass", 2, {"--bypass", "--gain", "-6", "--trim", "3", "--double"}},
        {"normalised", 2, {"--normalize", "-23", "--block", "333"}},
        {"mono: gain, trim, phase", 1, {"--gain", "-26", "--trim", "3", "--phase"}},
        {"mono, 64-bit, block 1", 1, {"--gain", "-19", "--double", "--block", "1"}},
        {"three channels: one Kavet Mono each", 3, {"--gain", "-19", "--trim", "-2"}},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeAudio(dir / "in.wav", testSignal(c.channels, 30000));
        auto run = [&](const std::string& plugin, const std::string& out) {
            std::vector<std::string> args = {"process", dir / "in.wav", dir / out, "--plugin",
                                             plugin};
            args.insert(args.end(), c.options.begin(), c.options.end());
            return runKavetOk(args).out;
        };
        const std::string vst =
            run(c.channels == 2 ? KAVET_STEREO_MODULE : KAVET_MONO_MODULE, "vst.wav");
        const std::string clap = run(kModule, "clap.wav");
        // The same effect, instances, levels and loudness.
        EXPECT_EQ(afterFirstLine(clap), afterFirstLine(vst));
        const Audio a = readAudio(dir / "vst.wav");
        const Audio b = readAudio(dir / "clap.wav");
        ASSERT_EQ(b.channels, c.channels);
        ASSERT_EQ(b.samples.size(), a.samples.size());
        for (std::size_t i = 0; i < a.samples.size(); ++i)
            ASSERT_EQ(std::bit_cast<std::uint32_t>(b.samples[i]),
                      std::bit_cast<std::uint32_t>(a.samples[i]))
                << "sample " << i / c.channels << ", channel " << i % c.channels;
    }
}

// The lines of info about one plug-in, in order and without a gap.
std::string pluginLines(const std::string& id, const std::string& name, int channels) {
    const std::string ports = std::to_string(channels);
    std::string text =
        "id              " + id + "\nname            " + name +
        "\nvendor          Velmorant Ltd\nversion         1.1.0\nURL             none\n"
        "description     Gain channel strip: gain, trim, " +
        (channels == 2 ? "pan, " : "") +
        "phase, mute, bypass, meters\n"
        "features        audio-effect utility " +
        (channels == 2 ? "stereo" : "mono") + "\naudio ports     " + ports + " in, " + ports +
        " out\n64-bit samples  yes\nparameters      " + (channels == 2 ? "6" : "5") +
        "\n   id name         range                default text     flags\n"
        "    0 Gain         0 .. 1              0.500000 0        automatable\n"
        "    1 Trim         0 .. 1              0.500000 0        automatable\n"
        "    2 Phase        0 .. 1              0.000000 Norm     stepped,automatable\n"
        "    3 Mute         0 .. 1              0.000000 Thru     stepped,automatable\n"
        "    4 Bypass       0 .. 1              0.000000 Off      stepped,bypass,automatable\n";
    if (channels == 2)
        text += "    5 Pan          0 .. 1              0.500000 0        automatable\n";
    return text;
}

TEST(KavetClap, InfoDescribesThePlugInsAndTheirParameters) {
    const std::string out = runKavetOk({"info", "--plugin", kModule}).out;
    EXPECT_EQ(out, "module          " + kModule + " (CLAP 1.2.1)\nplug-ins        2\n\n" +
                       pluginLines("com.velmorant.kavet.stereo", "Kavet Stereo", 2) + "\n" +
                       pluginLines("com.velmorant.kavet.mono", "Kavet Mono", 1));
}

} // namespace
} // namespace kavet::test
