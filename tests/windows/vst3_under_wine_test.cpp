// Each Windows build's VST 3 module under Wine, for this test's configuration: the Windows
// test host's VST 3 checks beside the VST 2.4 module of the same build (factory, output to
// the bit, state, references given back), and the view in a real window (an HWND) on a
// virtual X display, whose pixels equal the headless rendering of the same steps.
#include "wine_run.h"

#include "editor_scenarios.h"

#include "editor_host.h"

#include <gtest/gtest.h>

#include <string>

namespace kavet::test {
namespace {

class Vst3UnderWine : public ::testing::TestWithParam<WindowsModule> {};

TEST_P(Vst3UnderWine, PassesTheWindowsHostsChecks) {
    const WindowsModule& module = GetParam();
    const std::string log =
        std::string(KAVET_TEST_OUTPUT_DIR) + "/wine-vst3-" + module.name + ".log";
    const WineRun run = runVst3ChecksUnderWine(module, log);
    if (run.cannotRun()) GTEST_SKIP() << run.output;
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("FAIL  "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(" passed, 0 failed"), std::string::npos) << run.output;
}

// The signal scenario: parameters moved by the host, the mains switched, meters and readouts
// after blocks of a signal, each block followed by one idle.
TEST_P(Vst3UnderWine, ViewPixelsEqualHeadlessRendering) {
    if (std::string(KAVET_XVFB_RUN).empty()) GTEST_SKIP() << "no xvfb-run (apt-get install xvfb)";
    const WindowsModule& module = GetParam();
    const std::vector<EditorStep> steps = signalSteps();
    const std::string base = std::string(KAVET_TEST_OUTPUT_DIR) + "/wine-vst3-view-" + module.name;
    const WineRun run = runVst3EditorUnderWine(module, steps, base + ".bmp");
    if (run.cannotRun()) GTEST_SKIP() << run.output;
    ASSERT_EQ(run.status, 0) << "the Windows side failed:\n" << run.output;
    const std::optional<driver::Image> wine = readBmp24(base + ".bmp");
    ASSERT_TRUE(wine) << "no 24-bit BMP from the Windows side:\n" << run.output;
    (void)driver::writePng(*wine, base + ".png");
    EXPECT_TRUE(samePixels(renderHeadless(steps), *wine, "Wine VST 3"))
        << "picture: " << base << ".png";
}

INSTANTIATE_TEST_SUITE_P(WindowsModules, Vst3UnderWine, ::testing::ValuesIn(windowsModules()),
                         [](const ::testing::TestParamInfo<WindowsModule>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace kavet::test
