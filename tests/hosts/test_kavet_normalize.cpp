// kavet process --normalize: the fader (and the trim beyond the fader's range) set before
// the first sample so that the output meets the target loudness, or stops at the true-peak
// ceiling or the top of the gain range and says by how much; the gain is the plug-in's,
// constant from the first sample.
#include "cli_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace kavet::test {
namespace {

// "normalize to T LUFS: gain G dB[, held by the true-peak ceiling of C dBTP: S LU short of the
// target | , fader and trim at their top: S LU short of the target]; output ..."
struct NormalizeLine {
    double target = NAN, gainDb = NAN, ceiling = NAN, shortLu = 0.0;
    std::string limit; // "" (reached), "ceiling" or "range"
};

// The number after `marker` in `text` (NAN when the marker is not there).
double numberAfter(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    return at == std::string::npos ? NAN : std::strtod(text.c_str() + at + marker.size(), nullptr);
}

NormalizeLine normalizeLine(const std::string& out) {
    NormalizeLine result;
    const std::size_t at = out.find("normalize to ");
    if (at == std::string::npos) return result;
    const std::string line = out.substr(at, out.find(';', at) - at);
    result.target = numberAfter(line, "normalize to ");
    result.gainDb = numberAfter(line, " LUFS: gain ");
    result.ceiling = numberAfter(line, ", held by the true-peak ceiling of ");
    if (!std::isnan(result.ceiling)) {
        result.limit = "ceiling";
        result.shortLu = numberAfter(line, " dBTP: ");
    } else if (line.find(", fader and trim at their top: ") != std::string::npos) {
        result.limit = "range";
        result.shortLu = numberAfter(line, " at their top: ");
    }
    return result;
}

// A -40 dBFS sine with one sample at 0.9 every quarter second: quiet, but with peaks.
Audio peaky() {
    Audio audio = sineSegments({{6, -40}}, 997);
    for (std::size_t i = 0; i < audio.samples.size(); i += 12000 * 2)
        audio.samples[i] = audio.samples[i + 1] = 0.9f;
    return audio;
}

// The output is the input times one factor from the first sample to the last: that factor.
double constantGain(const Audio& in, const Audio& out) {
    EXPECT_EQ(in.samples.size(), out.samples.size());
    if (in.samples.size() != out.samples.size()) return NAN;
    const auto loudest = static_cast<std::size_t>(
        std::max_element(in.samples.begin(), in.samples.end(),
                         [](float a, float b) { return std::fabs(a) < std::fabs(b); }) -
        in.samples.begin());
    const double factor = out.samples[loudest] / static_cast<double>(in.samples[loudest]);
    expectScaled(in, out, std::vector<double>(static_cast<std::size_t>(in.channels), factor),
                 1e-6 * std::fabs(out.samples[loudest]));
    return factor;
}

struct NormalizeCase {
    const char* name;
    Audio audio;
    std::vector<std::string> options;
    double target;
    double ceiling;
    std::string limit; // "" when the target is reached
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
        std::vector<std::string> args = {"process", dir / "in.wav", dir / "out.wav", "--json",
                                         dir / "r.json"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const ProgramRun run = runKavetOk(args);
        const JsonValue file = readJson(dir / "r.json")["files"][0];
        const JsonValue &plan = file["normalize"], &before = file["before"];
        const double wanted = c.target - before["integrated_lufs"].number;
        const double applied = plan["applied_gain_db"].number;
        const NormalizeLine line = normalizeLine(run.out);
        EXPECT_DOUBLE_EQ(plan["wanted_gain_db"].number, wanted);
        EXPECT_DOUBLE_EQ(plan["shortfall_lu"].number, wanted - applied);
        EXPECT_EQ(plan["peak_limited"].boolean, c.limit == "ceiling");
        EXPECT_EQ(plan["range_limited"].boolean, c.limit == "range");
        // The gain applied is the one the output file has, and the one its loudness shows.
        EXPECT_NEAR(applied, 20 * std::log10(constantGain(c.audio, readAudio(dir / "out.wav"))),
                    1e-4);
        const double outLufs = file["after"]["integrated_lufs"].number;
        EXPECT_NEAR(applied, outLufs - before["integrated_lufs"].number, 0.02);
        EXPECT_LE(file["after"]["true_peak_dbtp"].number, c.ceiling + 0.005);
        EXPECT_EQ(wanted - applied > 0.1, !c.limit.empty());
        if (c.limit.empty()) {
            EXPECT_NEAR(applied, wanted, 1e-3);
            EXPECT_NEAR(outLufs, c.target, 0.1);
        } else if (c.limit == "ceiling") {
            // Less the reading's largest error, 0.05 dB (single-sample peaks, read exactly).
            EXPECT_NEAR(applied, c.ceiling - 0.05 - before["true_peak_dbtp"].number, 1e-3);
            EXPECT_EQ(line.ceiling, c.ceiling) << "printed";
        } else { // fader and trim at their top
            EXPECT_EQ(plan["gain_value"].number + plan["trim_value"].number, 2.0);
        }
        // The printed line: the same figures, to its rounding (its ceiling as given, above).
        EXPECT_EQ(line.limit, c.limit) << run.out;
        EXPECT_EQ(line.target, c.target);
        EXPECT_NEAR(line.gainDb, applied, 0.005);
        EXPECT_NEAR(line.shortLu, c.limit.empty() ? 0.0 : wanted - applied, 0.005);
    }
}

// Pink noise (white noise through a sum of one-pole filters, -3 dB an octave from 10 Hz to
// beyond 20 kHz) at about -20 dB, its level swung by a 0.2 Hz tremolo of 60 % depth; the two
// channels independent.
Audio tremoloPinkNoise(double seconds) {
    constexpr int kRate = 48000;
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    Audio audio{kRate, 2, 0, std::vector<float>(2 * frames)};
    std::uint32_t seed = 12345;
    for (std::size_t c = 0; c < 2; ++c) {
        double b[7] = {};
        for (std::size_t i = 0; i < frames; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const double white = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
            b[0] = 0.99886 * b[0] + white * 0.0555179;
            b[1] = 0.99332 * b[1] + white * 0.0750759;
            b[2] = 0.96900 * b[2] + white * 0.1538520;
            b[3] = 0.86650 * b[3] + white * 0.3104856;
            b[4] = 0.55000 * b[4] + white * 0.5329522;
            b[5] = -0.7616 * b[5] - white * 0.0168980;
            const double pink = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + white * 0.5362;
            b[6] = white * 0.115926;
            const double t = static_cast<double>(i) / kRate;
            const double tremolo = 1.0 - 0.3 * (1.0 - std::cos(2 * std::acos(-1.0) * 0.2 * t));
            audio.samples[2 * i + c] = static_cast<float>(0.1 * pink * tremolo);
        }
    }
    return audio;
}

// The largest inter-sample magnitude of one channel, found by windowed-sinc interpolation
// (Kaiser, beta 8, 32 samples each side: flat to 0.92 of Nyquist) at 16 points per sample.
// A first pass at 4 points per sample, which reads at most 0.7 dB low, picks the sample
// intervals worth the finer one.
class SincPeak {
public:
    SincPeak() {
        const double pi = std::acos(-1.0);
        const auto bessel0 = [](double x) {
            double sum = 1, term = 1;
            for (int k = 1; k < 40; ++k) {
                term *= (x / (2 * k)) * (x / (2 * k));
                sum += term;
            }
            return sum;
        };
        for (int j = 0; j < kPhases; ++j)
            for (int m = -kHalf + 1; m <= kHalf; ++m) {
                const double u = static_cast<double>(j) / kPhases - m; // from tap m to the point
                const double sinc = u == 0 ? 1.0 : std::sin(pi * u) / (pi * u);
                const double r = u / kHalf;
                const double window =
                    r * r >= 1 ? 0.0 : bessel0(kBeta * std::sqrt(1 - r * r)) / bessel0(kBeta);
                taps_[j][m + kHalf - 1] = sinc * window;
            }
    }

    double operator()(const Audio& audio, int channel) const {
        // The file with silence around it; the points run from kHalf samples before its
        // start to kHalf after its end (the ringing on both sides).
        std::vector<double> x(audio.frames() + 4 * kHalf, 0.0);
        for (std::size_t i = 0; i < audio.frames(); ++i)
            x[i + 2 * kHalf] = audio.at(i, channel);
        const std::size_t first = kHalf;
        const std::size_t end = audio.frames() + 3 * kHalf;
        std::vector<double> coarse(end);
        double coarsePeak = 0;
        for (std::size_t n = first; n < end; ++n) {
            for (int j = 0; j < kPhases; j += kPhases / 4)
                coarse[n] = std::max(coarse[n], at(x, n, j));
            coarsePeak = std::max(coarsePeak, coarse[n]);
        }
        double peak = coarsePeak;
        const double threshold = coarsePeak * std::pow(10.0, -0.75 / 20);
        for (std::size_t n = first; n < end; ++n)
            if (coarse[n] >= threshold)
                for (int j = 1; j < kPhases; ++j)
                    peak = std::max(peak, at(x, n, j));
        return peak;
    }

private:
    static constexpr int kPhases = 16;
    static constexpr int kHalf = 32;
    static constexpr double kBeta = 8.0;

    // |signal| at point n + j/16 of `x`, from its samples n - kHalf + 1 to n + kHalf.
    double at(const std::vector<double>& x, std::size_t n, int j) const {
        const double* tap = taps_[j];
        const double* sample = x.data() + n - kHalf + 1;
        double sum = 0;
        for (int k = 0; k < 2 * kHalf; ++k)
            sum += tap[k] * sample[k];
        return std::fabs(sum);
    }

    double taps_[kPhases][2 * kHalf] = {};
};

TEST(KavetNormalize, CeilingHoldsOnTheRealInterSamplePeak) {
    TempFolder dir;
    writeAudio(dir / "in.wav", tremoloPinkNoise(20));
    const ProgramRun run = runKavetOk({"process", dir / "in.wav", dir / "out.wav", "--normalize",
                                       "-13", "--true-peak-max", "-1"});
    const NormalizeLine line = normalizeLine(run.out);
    ASSERT_EQ(line.limit, "ceiling") << run.out; // the case is about the ceiling
    const Audio out = readAudio(dir / "out.wav");
    const SincPeak sincPeak;
    const auto printed = truePeakRows(run.out);
    ASSERT_EQ(printed.size(), 2u) << run.out;
    double loudest = -INFINITY;
    for (int c = 0; c < 2; ++c) {
        SCOPED_TRACE("channel " + std::to_string(c + 1));
        const double peakDb = 20 * std::log10(sincPeak(out, c));
        loudest = std::max(loudest, peakDb);
        // kavet's own reading of the output agrees with the independent one.
        EXPECT_NEAR(printed[static_cast<std::size_t>(c)][1], peakDb, 0.055);
    }
    EXPECT_LE(loudest, -1.0);
    EXPECT_GE(loudest, -1.0 - 0.1); // and not much of the room is given away
}

} // namespace
} // namespace kavet::test
