// Each Windows build's VST module of this test's configuration produces, under Wine, the
// same audio as the Linux module, to the bit: the audio script (hosts/wintest/
// audio_script.h) runs in the Windows module through kavet-wintest --render, and in the
// Linux module loaded here as a host loads it. Both start from a fresh registry.
#include "hosts/common/vst_module.h"
#include "hosts/wintest/audio_script.h"
#include "wine_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace kavet::test {
namespace {

VstIntPtr VSTCALLBACK scriptHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

std::vector<unsigned char> renderLinux() {
    const host::VstModule module(KAVET_LINUX_MODULE);
    AEffect* effect = module.entry()(scriptHost);
    if (effect == nullptr) return {};
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    std::vector<unsigned char> bytes = script::renderAudioScript(effect);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return bytes;
}

// Where two renderings first part: the byte offset, and the bytes around it.
std::string firstDifference(const std::vector<unsigned char>& onLinux,
                            const std::vector<unsigned char>& onWindows) {
    std::size_t at = 0;
    while (at < onLinux.size() && at < onWindows.size() && onLinux[at] == onWindows[at])
        ++at;
    std::string text = "first difference at byte " + std::to_string(at) + " of " +
                       std::to_string(onLinux.size()) + " (Linux) and " +
                       std::to_string(onWindows.size()) + " (Windows)";
    const std::size_t from = at & ~std::size_t{7};
    for (const auto* side : {&onLinux, &onWindows}) {
        text += side == &onLinux ? "\n  Linux:  " : "\n  Windows:";
        for (std::size_t i = from; i < from + 16 && i < side->size(); ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02x", (*side)[i]);
            text += hex;
        }
    }
    return text;
}

class AudioUnderWine : public ::testing::TestWithParam<WindowsModule> {};

TEST_P(AudioUnderWine, OutputEqualsTheLinuxModuleBitForBit) {
    const WindowsModule& module = GetParam();
    const std::string raw =
        std::string(KAVET_TEST_OUTPUT_DIR) + "/wine-audio-" + module.name + ".raw";
    const WineRun run = renderAudioUnderWine(module, raw);
    if (run.cannotRun()) GTEST_SKIP() << run.output;
    ASSERT_EQ(run.status, 0) << "the Windows side failed:\n" << run.output;
    const std::string file = readFile(raw);
    const std::vector<unsigned char> onWindows(file.begin(), file.end());

    const std::vector<unsigned char> onLinux = renderLinux();
    ASSERT_FALSE(onLinux.empty()) << "the Linux module made no effect";
    EXPECT_TRUE(onLinux == onWindows) << firstDifference(onLinux, onWindows);
}

INSTANTIATE_TEST_SUITE_P(WindowsModules, AudioUnderWine, ::testing::ValuesIn(windowsModules()),
                         [](const ::testing::TestParamInfo<WindowsModule>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace kavet::test
