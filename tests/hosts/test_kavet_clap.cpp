// kavet through the CLAP module: the output equals that of the VST 2.4 module of the same
// configuration bit for bit, with the plug-in that fits the file picked, and info describes
// the plug-ins and their parameters.
#include "cli_checks.h"
#include "vst_equivalence.h"

namespace kavet::test {
namespace {

const std::string kModule = KAVET_CLAP_MODULE;

TEST(KavetClap, ProcessingEqualsTheVstModuleBitForBit) {
    expectTheVstModulesOutput(kModule, kModule);
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
