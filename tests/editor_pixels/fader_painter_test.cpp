// The fader's pixels: scales and labels, cap, meter bars, RMS lines and hold marks, in the
// stereo and the mono layout, on the real bitmaps.
#include "editor/layout.h"
#include "pixels/fader_painter.h"
#include "pixels_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace kavet::editor {
namespace {

using testing::differingPixels;
using testing::Image;
using testing::resourceImage;

constexpr layout::Rect kFader = layout::rect(layout::Id::Fader);
constexpr int kWidth = kFader.width, kHeight = kFader.height;

const std::vector<std::string> kNormalLabels = {
    "18", "16",  "15",  "13",  "11",  "9",   "7",   "5",   "3",   "-0",  "-3", "-6",
    "-9", "-13", "-17", "-21", "-27", "-33", "-40", "-50", "-64", "-88", "-00"};

struct Bitmaps {
    Image cap = resourceImage(layout::kFaderCap), mask = resourceImage(layout::kFaderCapMask),
          strip = resourceImage(layout::kMeterStrip), font = resourceImage(layout::kSmallFont);
    FaderBitmaps views() { return {cap.view(), mask.view(), strip.view(), font.view()}; }
};

// The background under the fader in the editor.
Image snapshot(int backgroundId) {
    const Image background = resourceImage(backgroundId);
    Image s(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            s.at(x, y) = background.at(kFader.left + x, kFader.top + y);
    return s;
}

TEST(ScaleLabel, NormalLabelsRunFromEighteenToMinusInfinity) {
    const FaderModel model(0.5f);
    for (int i = 0; i <= 22; ++i)
        EXPECT_EQ(std::string(scaleLabel(i * 16, model, false).text), kNormalLabels[i]) << i * 16;
}

TEST(ScaleLabel, MeterLabelsIgnoreFineMode) {
    FaderModel model(0.5f);
    model.setFineMode(true, 0);
    for (int i = 0; i <= 22; ++i)
        EXPECT_EQ(std::string(scaleLabel(i * 16, model, true).text), kNormalLabels[i]) << i * 16;
}

TEST(ScaleLabel, FineLabelsAtZeroDecibelsWithRangeTwoShowEverySecondStep) {
    FaderModel model(0.5f);
    model.setFineMode(true, 0);
    const std::vector<std::string> shown = {"6",  "5",  "4",  "3",  "2",  "1",
                                            "-1", "-2", "-3", "-4", "-5", "-6"};
    for (int i = 0; i <= 22; ++i) {
        const std::string text = scaleLabel(i * 16, model, false).text;
        EXPECT_EQ(text, i % 2 ? " " : shown[static_cast<std::size_t>(i / 2)]) << i * 16;
    }
}

TEST(ScaleLabel, FineWindowAtTheTopReadsFromSixToEighteen) {
    FaderModel model(static_cast<float>(std::cbrt(std::pow(10.0, 16.0 / 20) / 8)));
    model.setFineMode(true, 0);
    EXPECT_EQ(std::string(scaleLabel(0, model, false).text), "18");
    EXPECT_EQ(std::string(scaleLabel(352, model, false).text), "6");
    EXPECT_EQ(std::string(scaleLabel(176, model, false).text), " ");
    EXPECT_EQ(std::string(scaleLabel(160, model, false).text), "13");
}

// The fader scale drawn by hand from its description: ticks on row px + 23 and labels that
// end at x 62 with their top on row px + 20.
Image expectedFaderScale(const Image& background, const DigitFont& font,
                         const std::vector<std::string>& labels) {
    Image expected = background;
    for (int px = 0; px <= 352; px += 4) {
        const int y = px + 23;
        const int len = px % 16 == 0 ? 10 : px % 16 == 8 ? 6 : 8;
        for (int i = 0; i < len; ++i) {
            expected.at(73 - i, y) = 0xC5C5C5;
            expected.at(86 + i, y) = 0xC5C5C5;
        }
        if (px % 16 == 0) {
            const std::string& t = labels[static_cast<std::size_t>(px / 16)];
            font.drawText(expected.view(), 62 - font.textWidth(t), px + 20, t, 0xC5C5C5);
        }
    }
    return expected;
}

TEST(FaderScale, TicksAndLabelsLandOnTheirRowsAndColumns) {
    Bitmaps b;
    const FaderPainter painter(MeterLayout::Stereo, b.views());
    const Image background = snapshot(layout::kBackgroundStereo);
    Image work = background;
    painter.drawFaderScale(work.view(), FaderModel(0.5f));
    const Image expected = expectedFaderScale(background, painter.scaleFont(), kNormalLabels);
    EXPECT_EQ(differingPixels(work, expected), 0);
    EXPECT_GT(differingPixels(work, background), 500);
}

TEST(FaderScale, FineModeLeavesEverySecondLabelOut) {
    Bitmaps b;
    const FaderPainter painter(MeterLayout::Stereo, b.views());
    const Image background = snapshot(layout::kBackgroundStereo);
    Image work = background;
    FaderModel model(0.5f);
    model.setFineMode(true, 0);
    painter.drawFaderScale(work.view(), model);
    const std::vector<std::string> labels = {"6",  " ", "5",  " ", "4",  " ", "3",  " ",
                                             "2",  " ", "1",  " ", "-1", " ", "-2", " ",
                                             "-3", " ", "-4", " ", "-5", " ", "-6"};
    EXPECT_EQ(differingPixels(work, expectedFaderScale(background, painter.scaleFont(), labels)),
              0);
}

struct CapCase {
    float value;
    int top, rowsDrawn;
};

class CapPixels : public ::testing::TestWithParam<CapCase> {};

TEST_P(CapPixels, CapCoversItsRowsThroughTheMaskAndNothingElse) {
    Bitmaps b;
    const FaderPainter painter(MeterLayout::Stereo, b.views());
    const FaderModel model(GetParam().value);
    ASSERT_EQ(model.capRow(), GetParam().top);
    EXPECT_EQ(capRowsDrawn(model.capRow(), kHeight), GetParam().rowsDrawn);

    // A taller image than the control: the rows below the control stay untouched.
    Image image(kWidth, kHeight + 20, 0x505050);
    const Image before = image;
    painter.drawCap(PixelView{image.view().pixels, kWidth, kHeight, kWidth * 4}, model);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int r = y - GetParam().top, c = x - 64;
            const bool inCap = r >= 0 && r < GetParam().rowsDrawn && c >= 0 && c < 36;
            if (!inCap) {
                ASSERT_EQ(image.at(x, y), before.at(x, y)) << x << "," << y;
                continue;
            }
            const int a = b.mask.at(c, r) & 0xFF;
            if (a == 255) {
                ASSERT_EQ(image.at(x, y), b.cap.at(c, r)) << x << "," << y;
            }
            if (a == 0 && b.cap.at(c, r) == 0) {
                ASSERT_EQ(image.at(x, y), 0x505050u) << x << "," << y;
            }
        }
}

INSTANTIATE_TEST_SUITE_P(Values, CapPixels,
                         ::testing::Values(CapCase{0.5f, 144, 58}, CapCase{1.0f, 0, 58},
                                           CapCase{0.0f, 352, 49}));

struct CapBlendCase {
    std::uint32_t target, cap;
    int mask;
    std::uint32_t expected;
};

class CapBlend : public ::testing::TestWithParam<CapBlendCase> {};

TEST_P(CapBlend, TargetFadesByTheMaskAndTheCapAddsLimitedTo255) {
    const CapBlendCase& c = GetParam();
    Image cap(1, 1, c.cap), mask(1, 1, static_cast<std::uint32_t>(c.mask));
    Image target(3, 3, c.target);
    drawCap(target.view(), 1, 1, 1, 1, cap.view(), mask.view());
    EXPECT_EQ(target.at(1, 1), c.expected);
    EXPECT_EQ(target.at(0, 1), c.target);
    EXPECT_EQ(target.at(1, 2), c.target);
}

INSTANTIATE_TEST_SUITE_P(
    Pixels, CapBlend,
    ::testing::Values(CapBlendCase{0xFFFFFF, 0x102030, 255, 0x102030},
                      CapBlendCase{0xC86432, 0x000000, 0, 0xC86432},
                      CapBlendCase{0xC86432, 0x646464, 0, 0xFFC896}, // 200+100 -> 255
                      // a = 128/255: 100 x 0.498 + 30 = 79.8; 200 x 0.498 + 0 = 99.6
                      CapBlendCase{0x64C864, 0x1E001E, 128, 0x4F634F}));

// Bar pixels as the colour strip gives them: row j of zone z with blend w.
std::uint32_t barPixel(const Image& strip, const MeterTables& t, int j, int n) {
    const int row = std::min(j, strip.height() - 1);
    const int z = t.zone[j];
    const float w = t.blend[j];
    std::uint32_t out = 0;
    for (int ch = 0; ch < 4; ++ch) {
        const int lo = (strip.at((z - 1) * 8 + n, row) >> (8 * ch)) & 0xFF;
        const int hi = (strip.at(z * 8 + n, row) >> (8 * ch)) & 0xFF;
        out |= static_cast<std::uint32_t>((1.0f - w) * lo + w * hi) << (8 * ch);
    }
    return out;
}

struct BarCase {
    int firstLitRow; // row j of the meter from which the bar is lit
};

class StereoBars : public ::testing::TestWithParam<BarCase> {};

TEST_P(StereoBars, LevelLightsRowsBelowItWithTheZoneColoursLeftOneRowLower) {
    Bitmaps b;
    FaderPainter painter(MeterLayout::Stereo, b.views());
    const MeterTables& t = painter.tables();
    const int j0 = GetParam().firstLitRow;
    // Just above the level of row j0 (and at most the level of row j0 - 1).
    const float level = std::nextafter(t.level[j0], 100.0f);
    painter.setLevels({level, level, 0, 0, 0, 0, 0, 0}, true);

    const Image background = snapshot(layout::kBackgroundStereo);
    Image labelsOnly = background;
    FaderPainter(MeterLayout::Stereo, b.views()).drawMeters(labelsOnly.view());
    Image work = background;
    painter.drawMeters(work.view());

    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool left = x >= 5 && x <= 12 && y - 20 >= j0 && y - 20 <= 361;
            const bool right = x >= 26 && x <= 33 && y - 19 >= j0 && y - 19 <= 361;
            if (left)
                ASSERT_EQ(work.at(x, y), barPixel(b.strip, t, y - 20, x - 5)) << x << "," << y;
            else if (right)
                ASSERT_EQ(work.at(x, y), barPixel(b.strip, t, y - 19, x - 26)) << x << "," << y;
            else
                ASSERT_EQ(work.at(x, y), labelsOnly.at(x, y)) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Rows, StereoBars,
                         ::testing::Values(BarCase{0}, BarCase{1}, BarCase{106}, BarCase{107},
                                           BarCase{148}, BarCase{300}, BarCase{361}));

TEST(MeterBars, ZoneBoundariesTakeThePureStripColumns) {
    Bitmaps b;
    const FaderPainter painter(MeterLayout::Stereo, b.views());
    const MeterTables& t = painter.tables();
    struct Case {
        int row, column;
    };
    // Top: red; +6 dB: orange; 0 dB: yellow; bottom: green (strip's last row).
    for (const Case c : {Case{0, 3}, Case{107, 2}, Case{148, 1}, Case{361, 0}})
        for (int n = 0; n < 8; ++n)
            EXPECT_EQ(barPixel(b.strip, t, c.row, n),
                      b.strip.at(c.column * 8 + n, std::min(c.row, 360)))
                << c.row;
}

TEST(MeterBars, LevelEqualToARowsLevelDoesNotLightIt) {
    Bitmaps b;
    FaderPainter painter(MeterLayout::Stereo, b.views());
    painter.setLevels({painter.tables().level[200], 0, 0, 0, 0, 0, 0, 0}, true);
    const Image background = snapshot(layout::kBackgroundStereo);
    Image work = background;
    painter.drawMeters(work.view());
    EXPECT_EQ(work.at(8, 20 + 200), background.at(8, 20 + 200));
    EXPECT_NE(work.at(8, 20 + 201), background.at(8, 20 + 201));
}

TEST(MeterBars, RmsIsATwoPixelLineFromTheRedColumn) {
    Bitmaps b;
    FaderPainter painter(MeterLayout::Stereo, b.views());
    const MeterTables& t = painter.tables();
    painter.setLevels({0, 0, 0, 0, 1.0, 0.5, 0, 0}, true);
    const Image background = snapshot(layout::kBackgroundStereo);
    Image labelsOnly = background;
    FaderPainter(MeterLayout::Stereo, b.views()).drawMeters(labelsOnly.view());
    Image work = background;
    painter.drawMeters(work.view());
    int lit = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            int j = -1;
            float level = 0;
            if (x == 8 || x == 9) j = y - 20, level = 1.0f;
            if (x == 29 || x == 30) j = y - 19, level = 0.5f;
            const bool on = j >= 0 && j <= 361 && level > t.level[j];
            if (on) {
                ++lit;
                const int stripX = x == 8 || x == 29 ? 27 : 28;
                ASSERT_EQ(work.at(x, y), b.strip.at(stripX, std::min(j, 360))) << x << "," << y;
            } else {
                ASSERT_EQ(work.at(x, y), labelsOnly.at(x, y)) << x << "," << y;
            }
        }
    int litRight = 0;
    for (int j = 0; j <= 361; ++j)
        litRight += 0.5f > t.level[j];
    EXPECT_GT(litRight, 150);
    EXPECT_EQ(lit, 2 * (361 - 148 + 1) + 2 * litRight); // left: from 0 dB down
}

TEST(MeterBars, StaleRmsKeepsThePreviousLine) {
    Bitmaps b;
    FaderPainter painter(MeterLayout::Stereo, b.views());
    painter.setLevels({0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8}, true);
    painter.setLevels({1, 2, 3, 4, 0, 0, 0, 0}, false);
    const std::array<float, 8> expected = {1, 2, 3, 4, 0.5f, 0.6f, 0.7f, 0.8f};
    EXPECT_EQ(painter.levels(), expected);
    Image work = snapshot(layout::kBackgroundStereo), stale = work;
    painter.drawMeters(stale.view());
    painter.setLevels({1, 2, 3, 4, 0.5, 0.6, 0.7, 0.8}, true);
    painter.drawMeters(work.view());
    EXPECT_EQ(differingPixels(work, stale), 0);
}

TEST(MeterBars, PostFaderShowsTheOutputPair) {
    Bitmaps b;
    FaderPainter pre(MeterLayout::Stereo, b.views()), post(MeterLayout::Stereo, b.views()),
        same(MeterLayout::Stereo, b.views());
    const std::array<double, 8> levels = {0.1, 0.2, 2.0, 4.0, 0.05, 0.06, 1.5, 0.7};
    pre.setLevels(levels, true);
    post.setLevels(levels, true);
    post.setPostFader(true);
    same.setLevels({2.0, 4.0, 0, 0, 1.5, 0.7, 0, 0}, true);
    Image a = snapshot(layout::kBackgroundStereo), c = a, d = a;
    post.drawMeters(a.view());
    same.drawMeters(c.view());
    pre.drawMeters(d.view());
    EXPECT_EQ(differingPixels(a, c), 0);
    EXPECT_GT(differingPixels(a, d), 100);
}

TEST(MeterBars, MonoHasOneBarAtNineToSixteenAndLabelsCentredOnTwentyFour) {
    Bitmaps b;
    FaderPainter painter(MeterLayout::Mono, b.views());
    const MeterTables& t = painter.tables();
    painter.setLevels({4.0, 8.0, 0, 0, 0, 8.0, 0, 0}, true);
    const Image background = snapshot(layout::kBackgroundMono);
    Image expected = background;
    const DigitFont& font = painter.scaleFont();
    for (int i = 0; i <= 22; ++i) {
        const std::string& s = kNormalLabels[static_cast<std::size_t>(i)];
        font.drawText(expected.view(), 24 - font.textWidth(s) / 2, i * 16 + 17, s, 0);
    }
    for (int j = 0; j <= 361; ++j)
        if (4.0f > t.level[j])
            for (int n = 0; n < 8; ++n)
                expected.at(9 + n, 20 + j) = barPixel(b.strip, t, j, n);
    Image work = background;
    painter.drawMeters(work.view());
    EXPECT_EQ(differingPixels(work, expected), 0);
}

TEST(MeterTables, RowLevelsZonesAndBlends) {
    const MeterTables t;
    EXPECT_EQ(t.level[0], 8.0f);
    EXPECT_GT(t.level[361], 0.0f);
    EXPECT_LT(t.level[361], 1e-28f);
    for (int j = 1; j < kMeterRows; ++j)
        ASSERT_LT(t.level[j], t.level[j - 1]) << j;
    struct Zone {
        int first, last, zone;
    };
    for (const Zone z : {Zone{0, 106, 3}, Zone{107, 147, 2}, Zone{148, 361, 1}}) {
        const int span = (z.zone == 1 ? 361 : z.last + 1) - z.first;
        for (int j = z.first; j <= z.last; ++j) {
            ASSERT_EQ(t.zone[j], z.zone) << j;
            ASSERT_FLOAT_EQ(t.blend[j], 1.0f - static_cast<float>(j - z.first) / span) << j;
        }
    }
    EXPECT_GT(t.level[106], 2.0f);
    EXPECT_LE(t.level[107], 2.0f);
    EXPECT_GT(t.level[147], 1.0f);
    EXPECT_LE(t.level[148], 1.0f);
    EXPECT_EQ(t.blend[361], 0.0f);
}

TEST(HoldMarks, FullScaleAtRowTwentySilenceAtRow381) {
    EXPECT_EQ(holdRow(1.0f), 20);
    EXPECT_EQ(holdRow(0.0f), 381);
    EXPECT_EQ(holdRow(0.125f), 20 + 147); // 0 dB: (1 - 13/22) x 361 = 147.7
    Bitmaps b;
    FaderPainter painter(MeterLayout::Stereo, b.views());
    painter.setHolds(8.0, 100.0, 0.0, 4.0);
    const std::array<float, 4> expected = {1.0f, 1.0f, 0.0f, 0.5f};
    EXPECT_EQ(painter.holds(), expected);
}

// Marks drawn by hand: widths 2, 3, 5, 3, 2 on rows y - 2 .. y + 2.
void mark(Image& image, int x, int y, std::uint32_t colour, bool left) {
    const int widths[5] = {2, 3, 5, 3, 2};
    for (int i = 0; i < 5; ++i)
        for (int k = 0; k < widths[i]; ++k)
            image.at(left ? x + 4 - k : x + k, y - 2 + i) = colour;
}

TEST(HoldMarks, StereoMarksPointInwardsFromBothSides) {
    Bitmaps b;
    FaderPainter painter(MeterLayout::Stereo, b.views());
    painter.setHolds(8.0, 1.0, 0.0, 0.5);
    const Image background = snapshot(layout::kBackgroundStereo);
    Image expected = background;
    const int yPeakRight = holdRow(1.0f / 8), yRmsRight = holdRow(0.5f / 8);
    mark(expected, 0, 20, 0xFF0000, false);
    mark(expected, 34, yPeakRight, 0xFF0000, true);
    mark(expected, 0, 381, 0xFFAA00, false);
    mark(expected, 34, yRmsRight, 0xFFAA00, true);
    Image work = background;
    painter.drawHoldMarks(work.view());
    EXPECT_EQ(differingPixels(work, expected), 0);
    EXPECT_EQ(work.at(0, 18), 0xFF0000u);
    EXPECT_EQ(work.at(4, 20), 0xFF0000u);
    EXPECT_EQ(work.at(38, yPeakRight), 0xFF0000u);
    EXPECT_EQ(work.at(34, yPeakRight), 0xFF0000u);
    EXPECT_EQ(work.at(37, yPeakRight - 2), 0xFF0000u);
    EXPECT_EQ(work.at(36, yPeakRight - 2), background.at(36, yPeakRight - 2));
}

TEST(HoldMarks, MonoDrawsPeakAndRmsLeftAtColumnFour) {
    Bitmaps b;
    FaderPainter painter(MeterLayout::Mono, b.views());
    painter.setHolds(2.0, 8.0, 1.0, 8.0);
    const Image background = snapshot(layout::kBackgroundMono);
    Image expected = background;
    mark(expected, 4, holdRow(2.0f / 8), 0xFF0000, false);
    mark(expected, 4, holdRow(1.0f / 8), 0xFFAA00, false);
    Image work = background;
    painter.drawHoldMarks(work.view());
    EXPECT_EQ(differingPixels(work, expected), 0);
}

TEST(HoldMarks, MarkerIsClippedToTheBuffer) {
    Image image(10, 10, 0x000000);
    PixelView view{&image.at(0, 2), 10, 5, 40};
    drawMarker(view, 7, 0, 0xFF0000, false);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool set =
                (y == 2 && x >= 7) || (y == 3 && x >= 7) || (y == 4 && x >= 7 && x <= 8);
            EXPECT_EQ(image.at(x, y), set ? 0xFF0000u : 0u) << x << "," << y;
        }
}

TEST(FaderPaint, ComposesScaleCapMetersAndMarksInOrder) {
    Bitmaps b;
    FaderPainter painter(MeterLayout::Stereo, b.views());
    painter.setLevels({8.0, 8.0, 0, 0, 8.0, 8.0, 0, 0}, true);
    painter.setHolds(8.0, 8.0, 8.0, 8.0);
    const FaderModel model(0.5f);
    const Image background = snapshot(layout::kBackgroundStereo);
    Image work = background;
    painter.paint(work.view(), model);

    Image expected = background;
    painter.drawFaderScale(expected.view(), model);
    painter.drawCap(expected.view(), model);
    painter.drawMeters(expected.view());
    painter.drawHoldMarks(expected.view());
    EXPECT_EQ(differingPixels(work, expected), 0);
    // The track between the ticks above the cap is untouched; under the cap's opaque part
    // the cap shows, over the tick drawn on row 167 (px 144).
    for (int y = 0; y < 144; ++y)
        ASSERT_EQ(work.at(80, y), background.at(80, y)) << y;
    for (int r = 0; r < 58; ++r)
        for (int c = 0; c < 36; ++c)
            if ((b.mask.at(c, r) & 0xFF) == 255) {
                ASSERT_EQ(work.at(64 + c, 144 + r), b.cap.at(c, r)) << c << "," << r;
            }
    // Hold marks are drawn last, over the lit bar.
    EXPECT_EQ(work.at(0, 20), 0xFFAA00u);
}

TEST(FaderPaint, MissingBitmapsAreSkipped) {
    FaderPainter painter(MeterLayout::Stereo, FaderBitmaps{});
    painter.setLevels({8, 8, 8, 8, 8, 8, 8, 8}, true);
    const Image background = snapshot(layout::kBackgroundStereo);
    Image work = background;
    painter.drawCap(work.view(), FaderModel(0.5f));
    painter.drawMeters(work.view());
    EXPECT_EQ(differingPixels(work, background), 0);
    painter.paint(PixelView{}, FaderModel(0.5f)); // an empty work buffer draws nothing
}

} // namespace
} // namespace kavet::editor
