// kavet process IN... -o DIR: whole folders on every core, a summary table, a failing exit
// when any file failed and no output for that file; and --json, the report for scripts.
#include "cli_checks.h"
#include "json_value.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sndfile.h>

namespace kavet::test {
namespace {

namespace fs = std::filesystem;

// Every file below `root`, as paths relative to it.
std::set<std::string> filesBelow(const std::string& root) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(root, ec))
        if (entry.is_regular_file()) names.insert(fs::relative(entry.path(), root).string());
    return names;
}

double rounded(const JsonValue& v) {
    return v.kind == JsonValue::Null ? -INFINITY : std::round(v.number * 100.0) / 100.0;
}

class KavetBatch : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "in/sub/deeper");
        writeAudio(dir / "in/a.wav", sineSegments({{3, -30}}, 997));
        writeAudio(dir / "in/sub/b.flac", sineSegments({{3, -20}}, 440, 1),
                   SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
        writeAudio(dir / "in/sub/deeper/c.AIFF", sineSegments({{3, -26}}, 997),
                   SF_FORMAT_AIFF | SF_FORMAT_PCM_24);
        std::ofstream(dir / "in/broken.wav") << "RIFF, but no audio in it\n";
        std::ofstream(dir / "in/notes.txt") << "not audio, and not taken\n";
        writeAudio(dir / "loose.wav", sineSegments({{3, -40}}, 997));
    }

    TempFolder dir;
};

TEST_F(KavetBatch, GoodFilesAreWrittenAndTheBrokenOneIsNamed) {
    struct Case {
        const char* name;
        std::vector<std::string> inputs;
        std::set<std::string> written;
        std::size_t failed;
    };
    const Case cases[] = {
        {"folder, recursive", {"in", "-r"}, {"a.wav", "sub/b.flac", "sub/deeper/c.AIFF"}, 1},
        {"folder, its own files", {"in"}, {"a.wav"}, 1},
        {"files and a folder",
         {"loose.wav", "in/sub", "-r"},
         {"loose.wav", "b.flac", "deeper/c.AIFF"},
         0},
        {"a missing file among good ones",
         {"loose.wav", "gone.wav", "in/a.wav"},
         {"loose.wav", "a.wav"},
         1},
        {"two inputs for one output", {"loose.wav", "loose.wav"}, {"loose.wav"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir / "out");
        std::vector<std::string> args = {"process", "-o",     "out",        "--normalize",
                                         "-23",     "--json", "report.json"};
        args.insert(args.end(), c.inputs.begin(), c.inputs.end());
        const ProgramRun run = runKavet(args, dir.path());
        EXPECT_EQ(filesBelow(dir / "out"), c.written) << "no partial or temporary files";
        const std::string total = std::to_string(c.written.size() + c.failed);
        if (c.failed == 0) {
            EXPECT_EQ(run.exitCode, 0) << run.err;
        } else {
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_EQ(run.err,
                      "kavet: " + std::to_string(c.failed) + " of " + total + " file(s) failed\n");
        }
        EXPECT_NE(run.out.find(total + " file(s): " + std::to_string(c.written.size()) +
                               " written, " + std::to_string(c.failed) + " failed"),
                  std::string::npos)
            << run.out;
        const JsonValue report = readJson(dir / "report.json");
        ASSERT_EQ(report["files"].items.size(), c.written.size() + c.failed);
        std::size_t failedInReport = 0;
        for (const JsonValue& file : report["files"].items) {
            const std::string input = file["input"].text;
            if (!file["ok"].boolean) {
                ++failedInReport;
                EXPECT_NE(run.out.find(input + " "), std::string::npos) << run.out;
                EXPECT_NE(run.out.find("FAILED: " + file["error"].text), std::string::npos);
                continue;
            }
            EXPECT_NEAR(file["after"]["integrated_lufs"].number, -23.0, 0.1) << input;
            EXPECT_EQ(readAudio(dir / file["output"].text).channels,
                      static_cast<int>(file["channels"].number));
        }
        EXPECT_EQ(failedInReport, c.failed);
    }
}

TEST_F(KavetBatch, ReportHoldsThePrintedFiguresAndTheSettings) {
    // One channel silent: its levels have no finite value and read null. The name needs
    // escaping.
    Audio audio = sineSegments({{3, -30}}, 997);
    for (std::size_t i = 1; i < audio.samples.size(); i += 2)
        audio.samples[i] = 0.0f;
    const std::string input = "in \"quoted\" \\ name.wav";
    writeAudio(dir / input, audio);
    const ProgramRun run = runKavetOk({"process", input, "out.wav", "--normalize", "-16",
                                       "--true-peak-max", "-2", "--pan", "L20", "--json", "r.json"},
                                      dir.path());
    const JsonValue report = readJson(dir / "r.json");
    ASSERT_EQ(report["files"].items.size(), 1u);
    const JsonValue& file = report["files"][0];
    EXPECT_EQ(file["input"].text, input);
    EXPECT_EQ(file["output"].text, "out.wav");
    EXPECT_TRUE(file["ok"].boolean);
    EXPECT_EQ(file["settings"]["normalize_lufs"].number, -16.0);
    EXPECT_EQ(file["settings"]["true_peak_max_dbtp"].number, -2.0);
    EXPECT_EQ(file["settings"]["parameters"]["Pan"].number, static_cast<double>(0.4f));
    EXPECT_EQ(file["settings"]["parameters"]["Gain"].number,
              file["normalize"]["gain_value"].number);
    EXPECT_EQ(file["settings"]["block"].number, 512.0);

    const auto levels = levelRows(run.out);
    const auto peaks = truePeakRows(run.out);
    const auto loudness = loudnessRows(run.out);
    ASSERT_EQ(levels.size(), 2u);
    const char* sides[2] = {"before", "after"};
    for (std::size_t side = 0; side < 2; ++side) {
        SCOPED_TRACE(sides[side]);
        const JsonValue& figures = file[sides[side]];
        EXPECT_EQ(rounded(figures["integrated_lufs"]), loudness.at("integrated")[side]);
        EXPECT_EQ(rounded(figures["loudness_range_lu"]), loudness.at("range")[side]);
        EXPECT_EQ(rounded(figures["max_momentary_lufs"]), loudness.at("max momentary")[side]);
        EXPECT_EQ(rounded(figures["max_short_term_lufs"]), loudness.at("max short-term")[side]);
        EXPECT_EQ(rounded(figures["true_peak_dbtp"]), loudness.at("true peak")[side]);
        ASSERT_EQ(figures["channels"].items.size(), 2u);
        for (std::size_t c = 0; c < 2; ++c) {
            const JsonValue& channel = figures["channels"][c];
            EXPECT_EQ(rounded(channel["peak_db"]), levels[c][side * 2]) << c;
            EXPECT_EQ(rounded(channel["rms_db"]), levels[c][side * 2 + 1]) << c;
            EXPECT_EQ(rounded(channel["true_peak_dbtp"]), peaks[c][side]) << c;
        }
        EXPECT_EQ(figures["channels"][1]["rms_db"].kind, JsonValue::Null);
    }
}

} // namespace
} // namespace kavet::test
