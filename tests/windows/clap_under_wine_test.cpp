// Each Windows build's CLAP module under Wine, for this test's configuration: the Windows test
// host's CLAP checks beside the VST 2.4 module of the same build (factory, output to the bit,
// state, nothing misbehaving), and the editor in a real window (an HWND) on a virtual X
// display, whose pixels equal the headless rendering of the same steps.
#include "wine_run.h"

#include "editor_scenarios.h"

#include "editor_host.h"

#include <gtest/gtest.h>

#include <string>

namespace kavet::test {
namespace {

class ClapUnderWine : public ::testing::TestWithParam<WindowsModule> {};

TEST_P(ClapUnderWine, PassesTheWindowsHostsChecks) {
    const WindowsModule& module = GetParam();
    const std::string log =
        std::string(KAVET_TEST_OUTPUT_DIR) + "/wine-clap-" + module.name + ".log";
    const WineRun run = runClapChecksUnderWine(module, log);
    if (run.cannotRun()) GTEST_SKIP() << run.output;
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("FAIL  "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(" passed, 0 failed"), std::string::npos) << run.output;
}

// The signal scenario: values set by the host, the plug-in deactivated and activated again,
// meters and readouts after blocks of a signal, each block followed by one idle.
TEST_P(ClapUnderWine, EditorPixelsEqualHeadlessRendering) {
    if (std::string(KAVET_XVFB_RUN).empty()) GTEST_SKIP() << "no xvfb-run (apt-get install xvfb)";
    const WindowsModule& module = GetParam();
    const std::vector<EditorStep> steps = signalSteps();
    const std::string base =
        std::string(KAVET_TEST_OUTPUT_DIR) + "/wine-clap-editor-" + module.name;
    const WineRun run = runClapEditorUnderWine(module, steps, base + ".bmp");
    if (run.cannotRun()) GTEST_SKIP() << run.output;
    ASSERT_EQ(run.status, 0) << "the Windows side failed:\n" << run.output;
    EXPECT_EQ(run.output.find("FAIL  "), std::string::npos) << run.output;
    const std::optional<driver::Image> wine = readBmp24(base + ".bmp");
    ASSERT_TRUE(wine) << "no 24-bit BMP from the Windows side:\n" << run.output;
    (void)driver::writePng(*wine, base + ".png");
    EXPECT_TRUE(samePixels(renderHeadless(steps), *wine, "Wine CLAP"))
        << "picture: " << base << ".png";
}

INSTANTIATE_TEST_SUITE_P(WindowsModules, ClapUnderWine, ::testing::ValuesIn(windowsModules()),
                         [](const ::testing::TestParamInfo<WindowsModule>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace kavet::test
