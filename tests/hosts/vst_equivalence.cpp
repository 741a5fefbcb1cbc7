#include "vst_equivalence.h"

#include "cli_checks.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace kavet::test {
namespace {

// Standard output after its first line (which names the files).
std::string afterFirstLine(const std::string& out) {
    return out.substr(std::min(out.size(), out.find('\n') + 1));
}

} // namespace

const std::vector<EquivalenceCase>& equivalenceCases() {
    static const std::vector<EquivalenceCase> cases = {
        {"defaults", 2, {}, false},
        {"gain, pan L30, phase, block 100",
         2,
         {"--gain", "-6", "--pan", "L30", "--phase", "--block", "100"},
         false},
        {"trim, pan R77, block 7", 2, {"--trim", "-7.5", "--pan", "R77", "--block", "7"}, true},
        {"64-bit: gain near the top, trim",
         2,
         {"--gain", "17.9", "--trim", "4.5", "--double"},
         false},
        {"mute", 2, {"--mute", "--gain", "-6"}, false},
        {"64-bit bypass", 2, {"--bypass", "--gain", "-6", "--trim", "3", "--double"}, false},
        {"normalised", 2, {"--normalize", "-23", "--block", "333"}, false},
        {"mono: gain, trim, phase", 1, {"--gain", "-26", "--trim", "3", "--phase"}, false},
        {"mono, 64-bit, block 1", 1, {"--gain", "-19", "--double", "--block", "1"}, true},
        {"three channels: one Kavet Mono each", 3, {"--gain", "-19", "--trim", "-2"}, false},
    };
    return cases;
}

void expectTheVstModulesOutput(const std::string& plugin, const std::string& otherPlugin,
                               const std::vector<EquivalenceCase>& cases) {
    TempFolder dir;
    for (const EquivalenceCase& c : cases) {
        const std::string tested = c.otherName ? otherPlugin : plugin;
        SCOPED_TRACE(std::string(c.name) + " through " + tested);
        const Audio in = testSignal(c.channels, 30000);
        writeAudio(dir / "in.wav", in);
        auto run = [&](const std::string& module, const std::string& out) {
            std::vector<std::string> args = {"process", dir / "in.wav", dir / out, "--plugin",
                                             module};
            args.insert(args.end(), c.options.begin(), c.options.end());
            return runKavetOk(args).out;
        };
        const std::string vst =
            run(c.channels == 2 ? KAVET_STEREO_MODULE : KAVET_MONO_MODULE, "vst.wav");
        // The same effect, instances, levels and loudness.
        EXPECT_EQ(afterFirstLine(run(tested, "tested.wav")), afterFirstLine(vst));
        const Audio a = readAudio(dir / "vst.wav");
        const Audio b = readAudio(dir / "tested.wav");
        ASSERT_EQ(b.channels, c.channels);
        EXPECT_EQ(b.sampleRate, in.sampleRate);
        ASSERT_EQ(b.samples.size(), a.samples.size());
        for (std::size_t i = 0; i < a.samples.size(); ++i)
            ASSERT_EQ(std::bit_cast<std::uint32_t>(b.samples[i]),
                      std::bit_cast<std::uint32_t>(a.samples[i]))
                << "sample " << i / c.channels << ", channel " << i % c.channels;
    }
}

} // namespace kavet::test
