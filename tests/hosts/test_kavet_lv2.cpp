// kavet process through the LV2 plug-ins, named by their bundle or their URI: the output of
// each equals that of the VST module of the same configuration, sample for sample.
#include "cli_checks.h"
#include "vst_equivalence.h"

namespace kavet::test {
namespace {

TEST(KavetLv2, ProcessingEqualsTheVstModuleBitForBit) {
    // Every setting reaches the effect before its first sample: a glide from the defaults,
    // or a port value one step off the setting, shows in the first samples. -26 dB and
    // -19 dB are gains whose dB value rounded to single precision is one step off the port
    // value that gives the setting back. The other name: the stereo plug-in's URI.
    const std::vector<EquivalenceCase> cases = {
        {"defaults", 2, {}, false},
        {"gain -6 dB, pan L30, phase", 2, {"--gain", "-6", "--pan", "L30", "--phase"}, true},
        {"trim, pan R77, block 7", 2, {"--trim", "-7.5", "--pan", "R77", "--block", "7"}, false},
        {"gain near the top, trim", 2, {"--gain", "17.9", "--trim", "4.5"}, false},
        {"mute", 2, {"--mute", "--gain", "-6"}, false},
        {"bypass", 2, {"--bypass", "--gain", "-6", "--trim", "3"}, false},
        {"mono: gain, trim, phase",
         1,
         {"--gain", "-26", "--trim", "3", "--phase", "--block", "100"},
         false},
        {"three channels: one Kavet Mono each", 3, {"--gain", "-19"}, false},
    };
    expectTheVstModulesOutput(KAVET_LV2_BUNDLE, "urn:velmorant:kavet:stereo", cases);
}

} // namespace
} // namespace kavet::test
