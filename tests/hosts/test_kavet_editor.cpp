// kavet editor: the editor's picture after a signal ran through the strip, and the picture
// that kavet demo writes of its run.
#include "cli_checks.h"
#include "cli_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace kavet::test {
namespace {

const std::string kMono = KAVET_MONO_MODULE;

std::vector<unsigned char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Width and height from a PNG's header chunk; {0, 0} when it is no PNG.
std::pair<int, int> pngSize(const std::vector<unsigned char>& png) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (png.size() < 24 || !std::equal(kSignature, kSignature + 8, png.begin())) return {0, 0};
    auto word = [&png](std::size_t at) {
        return (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
    };
    return {word(16), word(20)};
}

ProgramRun runOk(const std::vector<std::string>& args, const std::string& cwd = "") {
    ProgramRun run = runKavet(args, cwd);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run;
}

TEST(KavetEditor, WritesTheEditorOf265By534AsPng) {
    TempFolder dir;
    const ProgramRun run = runOk({"editor", "--png", dir / "strip.png", "--signal", "demo",
                                  "--gain", "-6", "--pan", "L30", "--pre"});
    EXPECT_NE(run.out.find("stereo editor, 265 x 534 pixels"), std::string::npos) << run.out;
    EXPECT_EQ(pngSize(fileBytes(dir / "strip.png")), std::make_pair(265, 534));
}

TEST(KavetEditor, SameCommandSamePictureAndEachOptionShows) {
    TempFolder dir;
    runOk({"editor", "--png", dir / "a.png", "--signal", "demo"});
    runOk({"editor", "--png", dir / "b.png", "--signal", "demo"});
    EXPECT_EQ(fileBytes(dir / "a.png"), fileBytes(dir / "b.png"));
    const std::vector<std::vector<std::string>> variants = {
        {"--gain", "-12"}, {"--trim", "6"}, {"--pan", "R50"}, {"--phase"},  {"--mute"},
        {"--bypass"},      {"--pre"},       {"--fine"},       {"--options"}};
    for (const auto& variant : variants) {
        SCOPED_TRACE(variant[0]);
        std::vector<std::string> args = {"editor", "--png", dir / "v.png", "--signal", "demo"};
        args.insert(args.end(), variant.begin(), variant.end());
        runOk(args);
        EXPECT_NE(fileBytes(dir / "v.png"), fileBytes(dir / "a.png"));
    }
}

TEST(KavetEditor, MonoModuleShowsTheMonoEditor) {
    TempFolder dir;
    const ProgramRun run =
        runOk({"editor", "--png", dir / "mono.png", "--plugin", kMono, "--signal", "demo"});
    EXPECT_NE(run.out.find("mono editor"), std::string::npos) << run.out;
    runOk({"editor", "--png", dir / "stereo.png", "--signal", "demo"});
    EXPECT_NE(fileBytes(dir / "mono.png"), fileBytes(dir / "stereo.png"));
}

// Unsets DISPLAY for a scope: the tests see no X display wherever they run.
class NoDisplay {
public:
    NoDisplay() {
        if (const char* display = std::getenv("DISPLAY")) saved_ = display;
        unsetenv("DISPLAY");
    }
    ~NoDisplay() {
        if (saved_) setenv("DISPLAY", saved_->c_str(), 1);
    }
    NoDisplay(const NoDisplay&) = delete;
    NoDisplay& operator=(const NoDisplay&) = delete;

private:
    std::optional<std::string> saved_;
};

TEST(KavetEditor, RefusesWhatItCannotShow) {
    TempFolder dir;
    const NoDisplay noDisplay;
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };
    const Case cases[] = {
        {{"editor"}, 2, "--png FILE is required"},
        {{"editor", "--png", dir / "x.png", "--plugin", kMono, "--pan", "L10"}, 2, "no pan"},
        {{"editor", "--png", dir / "x.png", "--gain", "loud"}, 2, "--gain"},
        {{"editor", "--png", dir / "x.png", "--signal", dir / "missing.wav"}, 1, "missing.wav"},
        {{"editor", "--png", dir / "x.png", "--plugin", dir / "none.so"}, 1, "none.so"},
        {{"editor", "--png", dir / "no-folder/x.png"}, 1, "cannot write"},
        {{"editor", "--window", "--png", dir / "x.png"}, 2, "--png and --window exclude each"},
        {{"editor", "--window", "--pre"}, 2, "--pre is for --png"},
        {{"editor", "--window", "--plugin", kMono, "--pan", "L10"}, 2, "no pan"},
        {{"editor", "--window", "--signal", "demo"}, 1, "no X display (DISPLAY is not set)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const ProgramRun run = runKavet(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.err.rfind("kavet: ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(dir.names(), std::vector<std::string>{});
}

TEST(KavetDemo, WritesTheEditorPictureOfItsRun) {
    TempFolder dir;
    runOk({"demo"}, dir.path());
    runOk({"editor", "--png", dir / "same.png", "--signal", dir / "kavet-demo-in.wav", "--gain",
           "-6", "--pan", "L30", "--phase"});
    EXPECT_EQ(pngSize(fileBytes(dir / "kavet-demo-editor.png")), std::make_pair(265, 534));
    EXPECT_EQ(fileBytes(dir / "kavet-demo-editor.png"), fileBytes(dir / "same.png"));
}

} // namespace
} // namespace kavet::test
