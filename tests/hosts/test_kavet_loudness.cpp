// kavet process measures loudness after EBU R 128: the EBU's own test signals (Tech 3341
// for loudness and true peak, Tech 3342 for loudness range), generated here, must read what
// the EBU publishes for them, within the tolerances it allows, before and after the strip.
#include "cli_checks.h"

#include <cmath>

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
        const CliRun run = runKavetOk({"process", dir / "in.wav", dir / "out.wav", "--gain", gain});
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

} // namespace
} // namespace kavet::test
