// Each Windows build's VST module of this test's configuration (mono or stereo): its editor
// in a real top-level window under Wine (on a virtual X display), read back from the
// window's DC, equals pixel for pixel the headless rendering of the same steps by the editor
// linked into this test. Both sides start alike: the effect opened at 44.1 kHz with the mains
// on, the editor opened and painted, the pointer off the window, the user's preferences at
// their defaults (a fresh registry on both sides).
#include "wine_run.h"

#include "editor_scenarios.h"

#include "editor_host.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace kavet::test {
namespace {

using Scenario = EditorScenario;

struct EditorCase {
    WindowsModule module;
    Scenario scenario;
};

std::vector<EditorCase> editorCases() {
    std::vector<EditorCase> cases;
    for (const WindowsModule& module : windowsModules())
        for (const Scenario& scenario : editorScenarios())
            cases.push_back({module, scenario});
    return cases;
}

void PrintTo(const EditorCase& c, std::ostream* out) {
    *out << c.module.name << " " << c.scenario.name;
}

class EditorUnderWine : public ::testing::TestWithParam<EditorCase> {};

TEST_P(EditorUnderWine, WindowPixelsEqualHeadlessRendering) {
    if (std::string(KAVET_XVFB_RUN).empty()) GTEST_SKIP() << "no xvfb-run (apt-get install xvfb)";
    const WindowsModule& module = GetParam().module;
    const Scenario& scenario = GetParam().scenario;
    const std::string base =
        std::string(KAVET_TEST_OUTPUT_DIR) + "/wine-editor-" + module.name + "-" + scenario.name;

    const WineRun run = runEditorUnderWine(module, scenario.steps, base + "-wine.bmp");
    if (run.cannotRun()) GTEST_SKIP() << run.output;
    ASSERT_EQ(run.status, 0) << "the Windows side failed:\n" << run.output;
    const std::optional<driver::Image> wine = readBmp24(base + "-wine.bmp");
    ASSERT_TRUE(wine) << "no 24-bit BMP from the Windows side:\n" << run.output;

    const driver::Image headless = renderHeadless(scenario.steps);
    ASSERT_EQ(headless.width, editor::kEditorWidth);
    ASSERT_EQ(headless.height, editor::kEditorHeight);
    // For people to look at: both pictures beside the BMP (a failed write is no test failure).
    (void)driver::writePng(headless, base + "-headless.png");
    (void)driver::writePng(*wine, base + "-wine.png");
    EXPECT_TRUE(samePixels(headless, *wine, "Wine"))
        << "pictures: " << base << "-headless.png and " << base << "-wine.png";
}

INSTANTIATE_TEST_SUITE_P(WindowsModules, EditorUnderWine, ::testing::ValuesIn(editorCases()),
                         [](const ::testing::TestParamInfo<EditorCase>& info) {
                             return std::string(info.param.module.name) + "_" +
                                    info.param.scenario.name;
                         });

} // namespace
} // namespace kavet::test
