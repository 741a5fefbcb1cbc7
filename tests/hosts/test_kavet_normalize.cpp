// kavet process --normalize: the fader (and the trim beyond the fader's range) set before
// the first sample so that the output meets the target loudness, or stops at the true-peak
// ceiling or the top of the gain range and says by how much; the gain is the plug-in's,
// constant from the first sample.
#include "cli_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kavet::test {
namespace {

struct NormalizeLine {
    double gainDb = NAN;
    std::string limit; // "" (reached), "ceiling" or "range"
    double shortLu = 0.0;
};

// The number after `marker` in `text` (NAN when the marker is not there).
double numberAfter(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    return at == std::string::npos ? NAN : std::strtod(text.c_str() + at + marker.size(), nullptr);
}

// "normalize to T LUFS: gain G dB[, held by the true-peak ceiling of C dBTP: S LU short of the
// target | , fader and trim at their top: S LU short of the target]; output ..."
NormalizeLine normalizeLine(const std::string& out) {
    NormalizeLine result;
    const std::size_t at = out.find("normalize to ");
    if (at == std::string::npos) return result;
    const std::string line = out.substr(at, out.find('\n', at) - at);
    if (line.find(" LUFS: gain ") == std::string::npos) return result;
    result.gainDb = numberAfter(line, " LUFS: gain ");
    if (line.find(", held by the true-peak ceiling of ") != std::string::npos)
        result = {result.gainDb, "ceiling", numberAfter(line, " dBTP: ")};
    else if (line.find(", fader and trim at their top: ") != std::string::npos)
        result = {result.gainDb, "range", numberAfter(line, " at their top: ")};
    return result;
}

// A -40 dBFS sine with one sample at 0.9 every quarter second: quiet, but with peaks.
Audio peaky() {
    Audio audio = sineSegments({{6, -40}}, 997);
    for (std::size_t i = 0; i < audio.samples.size(); i += 12000 * 2)
        audio.samples[i] = audio.samples[i + 1] = 0.9f;
    return audio;
}

// The output is the input times one factor from the first sample to the last.
void expectConstantGain(const Audio& in, const Audio& out) {
    ASSERT_EQ(in.samples.size(), out.samples.size());
    const auto loudest = static_cast<std::size_t>(
        std::max_element(in.samples.begin(), in.samples.end(),
                         [](float a, float b) { return std::fabs(a) < std::fabs(b); }) -
        in.samples.begin());
    const double factor = out.samples[loudest] / static_cast<double>(in.samples[loudest]);
    expectScaled(in, out, std::vector<double>(static_cast<std::size_t>(in.channels), factor),
                 1e-6 * std::fabs(out.samples[loudest]));
}

struct NormalizeCase {
    const char* name;
    Audio audio;
    std::vector<std::string> options;
    double target;
    double ceiling;
    const char* limit; // "" when the target is reached
};

TEST(KavetNormalize, OutputMeetsTheTargetOrSaysWhyNot) {
    const Audio quiet = sineSegments({{6, -30}}, 997);
    const NormalizeCase cases[] = {
        {"-30 LUFS to -23", quiet, {"--normalize", "-23"}, -23, -1, ""},
        {"-30 LUFS to -16", quiet, {"--normalize", "-16"}, -16, -1, ""},
        {"-30 LUFS to -16, 64-bit, block 100",
         quiet,
         {"--normalize", "-16", "--double", "--block", "100"},
         -16,
         -1,
         ""},
        {"-10 LUFS down to -23",
         sineSegments({{6, -10}}, 997),
         {"--normalize", "-23"},
         -23,
         -1,
         ""},
        {"mono -30 LUFS to -14",
         sineSegments({{6, -30}}, 997, 1),
         {"--normalize", "-14"},
         -14,
         -1,
         ""},
        {"-60 LUFS to -16: fader and trim",
         sineSegments({{6, -60}}, 997),
         {"--normalize", "-16"},
         -16,
         -1,
         ""},
        {"-68 LUFS to -10: beyond fader and trim",
         sineSegments({{6, -68}}, 997),
         {"--normalize", "-10"},
         -10,
         -1,
         "range"},
        {"peaky to -16: ceiling -1", peaky(), {"--normalize", "-16"}, -16, -1, "ceiling"},
        {"peaky to -23: ceiling -3",
         peaky(),
         {"--normalize", "-23", "--true-peak-max", "-3"},
         -23,
         -3,
         "ceiling"},
    };
    TempFolder dir;
    for (const NormalizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        writeAudio(dir / "in.wav", c.audio);
        std::vector<std::string> args = {"process", dir / "in.wav", dir / "out.wav"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun run = runKavetOk(args);
        const auto rows = loudnessRows(run.out);
        ASSERT_EQ(rows.size(), 5u) << run.out;
        const double outLufs = rows.at("integrated")[1];
        const double outPeak = rows.at("true peak")[1];
        const NormalizeLine line = normalizeLine(run.out);
        ASSERT_FALSE(std::isnan(line.gainDb)) << run.out;
        EXPECT_EQ(line.limit, c.limit) << run.out;
        EXPECT_NEAR(line.gainDb, outLufs - rows.at("integrated")[0], 0.02);
        EXPECT_LE(outPeak, c.ceiling + 0.005);
        if (line.limit.empty()) {
            EXPECT_NEAR(outLufs, c.target, 0.1);
        } else {
            EXPECT_LT(outLufs, c.target - 0.1);
            EXPECT_NEAR(line.shortLu, c.target - outLufs, 0.02);
            if (line.limit == "ceiling") {
                EXPECT_NEAR(outPeak, c.ceiling, 0.02);
            }
        }
        expectConstantGain(readAudio(dir / "in.wav"), readAudio(dir / "out.wav"));
    }
}

} // namespace
} // namespace kavet::test
