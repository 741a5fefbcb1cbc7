// Each Windows build's VST 3 and CLAP modules under Wine, for this test's configuration: the
// Windows test host's checks of the format beside the VST 2.4 module of the same build
// (factory, output to the bit, state, references given back, nothing misbehaving), and the
// editor in a real window (an HWND) on a virtual X display, whose pixels equal the headless
// rendering of the same steps.
#include "wine_run.h"

#include "editor_scenarios.h"

#include "editor_host.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>

namespace kavet::test {
namespace {

struct Format {
    const char* name; // in file and test names
    const char* what; // in messages
    WineRun (*checks)(const WindowsModule&, const std::string& log);
    WineRun (*editor)(const WindowsModule&, const std::vector<EditorStep>&, const std::string&);
};

const Format kFormats[] = {
    {"vst3", "Wine VST 3", runVst3ChecksUnderWine, runVst3EditorUnderWine},
    {"clap", "Wine CLAP", runClapChecksUnderWine, runClapEditorUnderWine},
};

void PrintTo(const Format& f, std::ostream* out) {
    *out << f.name;
}

class FormatUnderWine : public ::testing::TestWithParam<std::tuple<Format, WindowsModule>> {
protected:
    const Format& format() const { return std::get<0>(GetParam()); }
    const WindowsModule& module() const { return std::get<1>(GetParam()); }
    std::string base(const char* what) const {
        return std::string(KAVET_TEST_OUTPUT_DIR) + "/wine-" + format().name + what + module().name;
    }
};

TEST_P(FormatUnderWine, PassesTheWindowsHostsChecks) {
    const WineRun run = format().checks(module(), base("-") + ".log");
    if (run.cannotRun()) GTEST_SKIP() << run.output;
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("FAIL  "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(" passed, 0 failed"), std::string::npos) << run.output;
}

// The signal scenario: values set by the host, the mains switched, meters and readouts after
// blocks of a signal, each block followed by one idle.
TEST_P(FormatUnderWine, EditorPixelsEqualHeadlessRendering) {
    if (std::string(KAVET_XVFB_RUN).empty()) GTEST_SKIP() << "no xvfb-run (apt-get install xvfb)";
    const std::vector<EditorStep> steps = signalSteps();
    const std::string base = this->base("-editor-");
    const WineRun run = format().editor(module(), steps, base + ".bmp");
    if (run.cannotRun()) GTEST_SKIP() << run.output;
    ASSERT_EQ(run.status, 0) << "the Windows side failed:\n" << run.output;
    EXPECT_EQ(run.output.find("FAIL  "), std::string::npos) << run.output;
    const std::optional<driver::Image> wine = readBmp24(base + ".bmp");
    ASSERT_TRUE(wine) << "no 24-bit BMP from the Windows side:\n" << run.output;
    (void)driver::writePng(*wine, base + ".png");
    EXPECT_TRUE(samePixels(renderHeadless(steps), *wine, format().what))
        << "picture: " << base << ".png";
}

INSTANTIATE_TEST_SUITE_P(WindowsModules, FormatUnderWine,
                         ::testing::Combine(::testing::ValuesIn(kFormats),
                                            ::testing::ValuesIn(windowsModules())),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

} // namespace
} // namespace kavet::test
