// kavet process measures loudness after EBU R 128: the EBU's own test signals (Tech 3341
// for loudness and true peak, Tech 3342 for loudness range), generated here, must read what
// the EBU publishes for them, within the tolerances it allows, before and after the strip.
// The true peak must be the real inter-sample peak within 0.05 dB: signals whose
// band-limited reconstruction is known in closed form are read against its maximum.
#include "cli_checks.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>

namespace kavet::test {
namespace {

constexpr double kSkip = NAN;

struct Expected {
    double value;
    double below; // tolerance under the value
    double above; // tolerance over it
};

struct LoudnessCase {
    const char* name;
    std::vector<SineSegment> segments;
    double hz;
    double phase;
    double gainDb; // through the fader: the output figures move by this much, the range not
    Expected integrated, momentary, shortTerm, range, truePeak;
};

void expectFigure(const char* what, double measured, const Expected& e) {
    if (std::isnan(e.value)) return;
    EXPECT_GE(measured, e.value - e.below) << what;
    EXPECT_LE(measured, e.value + e.above) << what;
}

Expected shifted(const Expected& e, double db) {
    return {e.value + db, e.below, e.above};
}

std::vector<SineSegment> alternating(int times, SineSegment a, SineSegment b) {
    std::vector<SineSegment> segments;
    for (int i = 0; i < times; ++i)
        segments.insert(segments.end(), {a, b});
    return segments;
}

TEST(KavetLoudness, EbuTestSignalsReadTheirPublishedFigures) {
    const Expected none{kSkip, 0, 0};
    const double quarterRate = 12000.0; // Tech 3341 case 15: fs/4 at 45 degrees
    const LoudnessCase cases[] = {
        {"3341 case 1: -23 dBFS",
         {{20, -23}},
         997,
         0,
         -10,
         {-23, .1, .1},
         {-23, .1, .1},
         {-23, .1, .1},
         none,
         none},
        {"3341 case 2: -33 dBFS",
         {{20, -33}},
         997,
         0,
         10,
         {-33, .1, .1},
         {-33, .1, .1},
         {-33, .1, .1},
         none,
         none},
        {"3341 case 3: gating",
         {{10, -36}, {60, -23}, {10, -36}},
         997,
         0,
         0,
         {-23, .1, .1},
         none,
         none,
         none,
         none},
        {"3341 case 5: -26/-20/-26",
         {{20, -26}, {20.1, -20}, {20, -26}},
         997,
         0,
         -6,
         {-23, .1, .1},
         none,
         none,
         none,
         none},
        // Short-term windows of 3 s always hold one period: S stays at -23; the 400 ms
        // windows reach the -20 dBFS parts.
        {"3341 case 9: short-term -23",
         alternating(5, {1.34, -20}, {1.66, -30}),
         997,
         0,
         0,
         none,
         {-20, .1, .1},
         {-23, .1, .1},
         none,
         none},
        {"3342 case 1: LRA 10",
         {{20, -20}, {20, -30}},
         997,
         0,
         0,
         none,
         none,
         none,
         {10, 1, 1},
         none},
        {"3342 case 3: LRA 20",
         {{20, -40}, {20, -20}},
         997,
         0,
         -3,
         none,
         none,
         none,
         {20, 1, 1},
         none},
        {"3341 case 15: true peak -6 dBTP",
         {{1, -6.0206}},
         quarterRate,
         std::acos(-1.0) / 4,
         3,
         none,
         none,
         none,
         none,
         {-6, .4, .2}},
    };
    TempFolder dir;
    for (const LoudnessCase& c : cases) {
        SCOPED_TRACE(c.name);
        writeAudio(dir / "in.wav", sineSegments(c.segments, c.hz, 2, 48000, c.phase));
        char gain[32];
        std::snprintf(gain, sizeof gain, "%.4f", c.gainDb);
        const ProgramRun run =
            runKavetOk({"process", dir / "in.wav", dir / "out.wav", "--gain", gain});
        const auto rows = loudnessRows(run.out);
        ASSERT_EQ(rows.size(), 5u) << run.out;
        for (int side = 0; side < 2; ++side) {
            SCOPED_TRACE(side == 0 ? "input" : "output");
            const double db = side == 0 ? 0.0 : c.gainDb;
            expectFigure("integrated", rows.at("integrated")[side], shifted(c.integrated, db));
            expectFigure("max momentary", rows.at("max momentary")[side], shifted(c.momentary, db));
            expectFigure("max short-term", rows.at("max short-term")[side],
                         shifted(c.shortTerm, db));
            expectFigure("range", rows.at("range")[side], c.range);
            expectFigure("true peak", rows.at("true peak")[side], shifted(c.truePeak, db));
            for (const auto& channel : truePeakRows(run.out))
                expectFigure("channel true peak", channel[static_cast<std::size_t>(side)],
                             shifted(c.truePeak, db));
        }
    }
}

const double kPi = std::acos(-1.0);

// A band-limited signal as a function of time in samples: the samples are its values at the
// integers, and between them it is the signal's ideal reconstruction.
using Signal = std::function<double(double)>;

// Rises and falls as a raised cosine over `fade` samples at each end of [0, length): the
// signal under it stays inside the band, so no edge overshoots the steady part.
Signal faded(Signal steady, double length, double fade) {
    return [steady, length, fade](double t) {
        const double edge = std::min(t, length - 1 - t);
        const double gain = edge <= 0      ? 0.0
                            : edge >= fade ? 1.0
                                           : 0.5 - 0.5 * std::cos(kPi * edge / fade);
        return gain * steady(t);
    };
}

Signal sine(double cyclesPerSample, double phase, double amplitude) {
    return [=](double t) { return amplitude * std::sin(2 * kPi * cyclesPerSample * t + phase); };
}

// The periodic sequence `period` repeated, through its trigonometric interpolation: the
// reconstruction of an endless repetition from its discrete Fourier series.
Signal periodic(std::vector<double> period) {
    const std::size_t n = period.size();
    std::vector<std::complex<double>> bins(n / 2 + 1);
    for (std::size_t k = 0; k < bins.size(); ++k)
        for (std::size_t i = 0; i < n; ++i)
            bins[k] += period[i] * std::polar(1.0 / static_cast<double>(n),
                                              -2 * kPi * static_cast<double>(k * i) / n);
    return [bins, n](double t) {
        double value = bins[0].real();
        for (std::size_t k = 1; k < bins.size(); ++k) {
            const double turn = 2 * kPi * static_cast<double>(k) * t / static_cast<double>(n);
            const double weight = 2 * k == n ? 1.0 : 2.0; // the Nyquist bin has no mirror
            value += weight * std::real(bins[k] * std::polar(1.0, turn));
        }
        return value;
    };
}

// Zero up to `start`, then a Hann-shaped burst of `length` samples of the sine.
Signal burst(Signal carrier, double start, double length) {
    return [=](double t) {
        const double u = (t - start) / length;
        return u <= 0 || u >= 1 ? 0.0 : (0.5 - 0.5 * std::cos(2 * kPi * u)) * carrier(t);
    };
}

// The largest magnitude of `signal` over [0, frames - 1]: a search at 64 points per sample,
// then a finer one around the best of them.
double exactPeak(const Signal& signal, std::size_t frames) {
    double best = 0, at = 0;
    for (std::size_t i = 0; i + 1 < frames; ++i)
        for (int j = 0; j < 64; ++j) {
            const double t = static_cast<double>(i) + j / 64.0;
            const double v = std::fabs(signal(t));
            if (v > best) best = v, at = t;
        }
    for (int j = -256; j <= 256; ++j)
        best = std::max(best, std::fabs(signal(at + j / 16384.0)));
    return best;
}

struct TruePeakCase {
    const char* name;
    int rate;
    double seconds;
    Signal signal;       // channel 1; channel 2 is half of it
    double samplePeakDb; // the sample peak lies this far below the true peak or more, so
                         // that only an oversampled reading passes (0: no such demand)
};

TEST(KavetLoudness, TruePeakIsTheInterSamplePeak) {
    const double ms = 1e-3;
    const std::vector<double> square8 = {1, 1, 1, 1, -1, -1, -1, -1};
    const std::vector<double> square12 = {1, 1, 1, 1, 1, 1, -1, -1, -1, -1, -1, -1};
    // Top of the band: 0.9 of Nyquist (inside the resampler's passband), the crests 9
    // degrees from the nearest sample (the phases of 0.45 cycles a sample fall every 18).
    const double crestOff = kPi / 2 + kPi / 20;
    auto fade = [](int rate, double seconds, Signal s) {
        return faded(std::move(s), seconds * rate, 20e-3 * rate);
    };
    const TruePeakCase cases[] = {
        {"fs/4 at 45 degrees, 48 kHz", 48000, 0.3, fade(48000, 0.3, sine(0.25, kPi / 4, 1.0)),
         -3.0},
        {"0.9 of Nyquist, 44.1 kHz", 44100, 0.3, fade(44100, 0.3, sine(0.45, crestOff, 0.9)), -0.1},
        {"0.9 of Nyquist, 48 kHz", 48000, 0.3, fade(48000, 0.3, sine(0.45, crestOff, 0.9)), -0.1},
        {"0.9 of Nyquist, 96 kHz", 96000, 0.2, fade(96000, 0.2, sine(0.45, crestOff, 0.9)), -0.1},
        {"0.9 of Nyquist, 192 kHz", 192000, 0.1, fade(192000, 0.1, sine(0.45, crestOff, 0.9)),
         -0.1},
        // Every crest half way between two samples of 8x oversampling: 8x reads 0.075 dB low.
        {"fs/3, crests between 8x samples, 48 kHz", 48000, 0.3,
         fade(48000, 0.3, sine(1.0 / 3, kPi / 2 - kPi / 24, 0.7)), -0.07},
        {"full-scale square of 8 samples, 48 kHz", 48000, 0.3, fade(48000, 0.3, periodic(square8)),
         -2},
        {"full-scale square of 12 samples, 44.1 kHz", 44100, 0.3,
         fade(44100, 0.3, periodic(square12)), -2},
        // The loudest part within the resampler's delay of the end, and a file shorter than
        // that delay: the reading needs the resampler's last output.
        {"burst in the last 10 ms, 48 kHz", 48000, 0.3,
         burst(sine(1000.0 / 48000, 0.3, 0.8), 0.29 * 48000, 480), 0},
        {"3 ms file, 48 kHz", 48000, 3 * ms, burst(sine(0.23, 1.0, 0.8), 0, 144), 0},
    };
    TempFolder dir;
    for (const TruePeakCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto frames = static_cast<std::size_t>(std::lround(c.seconds * c.rate));
        Audio audio{c.rate, 2, 0, {}};
        double samplePeak = 0;
        for (std::size_t i = 0; i < frames; ++i) {
            const double x = c.signal(static_cast<double>(i));
            samplePeak = std::max(samplePeak, std::fabs(x));
            audio.samples.push_back(static_cast<float>(x));
            audio.samples.push_back(static_cast<float>(0.5 * x));
        }
        const double exactDb = 20 * std::log10(exactPeak(c.signal, frames));
        ASSERT_LE(20 * std::log10(samplePeak), exactDb + c.samplePeakDb) << "a weak case";
        writeAudio(dir / "in.wav", audio);
        const ProgramRun run = runKavetOk(
            {"process", dir / "in.wav", dir / "out.wav", "--gain", "-3", "--json", dir / "r.json"});
        const double gainDb = -3;
        const auto printed = truePeakRows(run.out);
        ASSERT_EQ(printed.size(), 2u) << run.out;
        const JsonValue report = readJson(dir / "r.json");
        const JsonValue& file = report["files"][0];
        for (std::size_t side = 0; side < 2; ++side) {
            const JsonValue& figures = file[side == 0 ? "before" : "after"];
            for (std::size_t ch = 0; ch < 2; ++ch) {
                SCOPED_TRACE((side == 0 ? "input, channel " : "output, channel ") +
                             std::to_string(ch + 1));
                const double exact =
                    exactDb + (side == 0 ? 0 : gainDb) + (ch == 0 ? 0 : 20 * std::log10(0.5));
                EXPECT_NEAR(figures["channels"][ch]["true_peak_dbtp"].number, exact, 0.05);
                EXPECT_NEAR(printed[ch][side], exact, 0.055); // printed to 0.01 dB
            }
            EXPECT_NEAR(figures["true_peak_dbtp"].number, exactDb + (side == 0 ? 0 : gainDb), 0.05);
        }
    }
}

} // namespace
} // namespace kavet::test
