// The knob's pointer and value, the readouts' text and placement, and the options page's
// option and button geometry.
#include "editor/layout.h"
#include "pixels/dial_painter.h"
#include "pixels/readout_text.h"
#include "pixels_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace kavet::editor {
namespace {

using testing::differingPixels;
using testing::Image;
using testing::resourceImage;

struct PointerCase {
    float value;
    double x, y; // the dot's top-left sample
};

class DialPointer : public ::testing::TestWithParam<PointerCase> {};

TEST_P(DialPointer, TravelsFromLowerLeftOverTheTopToLowerRight) {
    const DialModel dial(GetParam().value);
    const PointerPoint p = pointerPosition(dial.angle());
    EXPECT_NEAR(p.x, GetParam().x, 1e-6);
    EXPECT_NEAR(p.y, GetParam().y, 1e-6);
}

// 10 x sin 45 deg = 7.0710678; the dot's corner is 1.5 up and left of its point on the circle.
INSTANTIATE_TEST_SUITE_P(Values, DialPointer,
                         ::testing::Values(PointerCase{0.0f, 7.4289322, 21.5710678},
                                           PointerCase{0.5f, 14.5, 4.5},
                                           PointerCase{1.0f, 21.5710678, 21.5710678},
                                           PointerCase{1.0f / 6, 4.5, 14.5}));

TEST(DialPointer, DrawnDotDarkensAroundItsPointOnly) {
    struct Case {
        float value;
        int minX, maxX, minY, maxY; // where the darkened pixels must lie
    };
    for (const Case c :
         {Case{0.0f, 7, 10, 21, 24}, Case{0.5f, 14, 17, 4, 7}, Case{1.0f, 21, 24, 21, 24}}) {
        Image work(31, 31, 0xFFFFFF);
        const PointerPoint p = pointerPosition(DialModel(c.value).angle());
        drawPointer(work.view(), p.x, p.y);
        int darkened = 0;
        for (int y = 0; y < 31; ++y)
            for (int x = 0; x < 31; ++x) {
                if (work.at(x, y) == 0xFFFFFF) continue;
                ++darkened;
                EXPECT_TRUE(x >= c.minX && x <= c.maxX && y >= c.minY && y <= c.maxY)
                    << c.value << ": " << x << "," << y;
            }
        EXPECT_GE(darkened, 9) << c.value;
    }
}

TEST(DialPointer, KernelAtWholePixelsAndBilinearSpreading) {
    Image work(31, 31, 0xFFFFFF);
    drawPointer(work.view(), 10.0, 10.0);
    const int k[3][3] = {{80, 192, 80}, {192, 255, 192}, {80, 192, 80}};
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 31; ++x) {
            const bool in = x >= 10 && x <= 12 && y >= 10 && y <= 12;
            const std::uint32_t v = in ? static_cast<std::uint32_t>(255 - k[y - 10][x - 10]) : 255;
            EXPECT_EQ(work.at(x, y), v * 0x010101u) << x << "," << y;
        }

    Image half(31, 31, 0xFFFFFF);
    drawPointer(half.view(), 10.5, 10.0);
    EXPECT_EQ(half.at(10, 10), 215u * 0x010101u); // 255 (1 - 0.5 x 80 / 255)
    EXPECT_EQ(half.at(11, 10), 134u * 0x010101u); // 215 (1 - 0.5 x 192 / 255) = 134.06
    EXPECT_EQ(half.at(13, 11), 159u * 0x010101u); // 255 (1 - 0.5 x 192 / 255)
}

TEST(DialPointer, SamplesWithoutFourNeighboursAreSkipped) {
    Image work(31, 31, 0xFFFFFF);
    drawPointer(work.view(), 29.0, -1.0);
    // Only column 29 of rows 0 and 1 is darkened (kernel column 0, rows 1 and 2).
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 31; ++x) {
            const std::uint32_t v = x == 29 && y == 0   ? 255 - 192
                                    : x == 29 && y == 1 ? 255 - 80
                                                        : 255;
            EXPECT_EQ(work.at(x, y), v * 0x010101u) << x << "," << y;
        }
    drawPointer(PixelView{}, 10, 10); // nothing to draw on
}

TEST(DialModel, AngleAndValue) {
    DialModel dial(0.25f);
    EXPECT_EQ(dial.angle(), 90.0f);
    EXPECT_FLOAT_EQ(dial.getValue(), 0.25f);
    dial.setValue(1.0f);
    EXPECT_FLOAT_EQ(dial.getValue(), 1.0f);
    dial.reset();
    EXPECT_EQ(dial.angle(), 180.0f);
}

TEST(DialModel, DragCountsTheLargerMovementOneDegreePerPixel) {
    struct Case {
        int dx, dy;
        bool shift;
        float change;
    };
    for (const Case c :
         {Case{30, -10, false, 30.0f}, Case{30, -10, true, 3.0f}, Case{5, -20, false, 20.0f},
          Case{-10, 3, false, -10.0f}, Case{4, 4, false, -4.0f}, Case{0, 7, true, -0.7f}}) {
        DialModel dial(0.5f);
        dial.drag(c.dx, c.dy, c.shift);
        EXPECT_FLOAT_EQ(dial.angle(), 180.0f + c.change) << c.dx << "," << c.dy;
    }
    DialModel dial(0.9f);
    dial.drag(100, 0, false);
    EXPECT_EQ(dial.angle(), 360.0f);
    dial.drag(0, 500, false);
    EXPECT_EQ(dial.angle(), 0.0f);
}

TEST(Readout, PrintsDecibelsInSixColumnsOrADash) {
    struct Case {
        float x;
        const char* text;
    };
    for (const Case c :
         {Case{0.0f, "-"}, Case{-1.0f, "-"}, Case{0.5f, " -6.02"}, Case{1.0f, "  0.00"},
          Case{8.0f, " 18.06"}, Case{2.0f, "  6.02"}, Case{1e-5f, "-100.00"}})
        EXPECT_EQ(std::string(readoutText(c.x).text), c.text) << c.x;
}

TEST(Readout, MinusSixSitsThirtyPixelsWideFromColumnOneOfTheField) {
    Image strip = resourceImage(layout::kSmallFont);
    const DigitFont font = readoutFont(strip.view());
    EXPECT_EQ(font.textWidth(" -6.02"), 30);
    EXPECT_EQ(textStartX(30, 33, true), 1);
    EXPECT_EQ(textStartX(30, 33, false), 3);

    Image field(33, 10, 0xFFFFFF), before = field;
    EXPECT_EQ(drawFieldText(field.view(), font, readoutText(0.5f).text, true, kReadoutInk), 1);
    int minX = 33, maxX = -1;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 33; ++x)
            if (field.at(x, y) != before.at(x, y))
                minX = std::min(minX, x), maxX = std::max(maxX, x);
    // The space fills cell 1..5; "-" is the first ink. The last glyph's cell is drawn whole:
    // its sixth column (x 31) holds only the strip's one-level width mark.
    EXPECT_GE(minX, 6);
    EXPECT_LE(maxX, 31);
    for (int y = 0; y < 10; ++y)
        EXPECT_GE(field.at(31, y) & 0xFF, 254u) << y;
    // Row 9 is below the 9-row glyphs.
    for (int x = 0; x < 33; ++x)
        EXPECT_EQ(field.at(x, 9), 0xFFFFFFu);

    // The same text drawn glyph by glyph from x 1 in 5-pixel steps.
    Image byHand(33, 10, 0xFFFFFF);
    const std::string s = " -6.02";
    for (int i = 0; i < 6; ++i)
        font.drawGlyph(byHand.view(), 1 + 5 * i, 0, s[i], 0x000000);
    EXPECT_EQ(differingPixels(field, byHand), 0);
}

TEST(Readout, TextWiderThanTheFieldIsNotDrawn) {
    Image strip = resourceImage(layout::kSmallFont);
    const DigitFont font = readoutFont(strip.view());
    Image field(33, 10, 0xFFFFFF), before = field;
    EXPECT_EQ(font.textWidth("-100.00"), 35);
    EXPECT_EQ(drawFieldText(field.view(), font, "-100.00", true, kReadoutInk), -1);
    EXPECT_EQ(differingPixels(field, before), 0);
}

TEST(Readout, EditableFieldsUseTheLargeStripInWhite) {
    Image strip = resourceImage(layout::kLargeFont);
    const DigitFont font = editFont(strip.view());
    EXPECT_EQ(font.spaceWidth(), 7);
    EXPECT_TRUE(font.fixedPitch());
    EXPECT_EQ(font.textWidth("-6.0 dB"), 7 * 5); // "d" and "B" have no glyph
    Image field(57, 14, 0x000000);
    EXPECT_EQ(drawFieldText(field.view(), font, "12.5", false, kEditInk), 57 - 28);
    EXPECT_EQ(field.at(56, 13), 0u);
}

TEST(OptionsPage, DraggingDownTheBallisticsGroupSelectsZeroToThreeAndStays) {
    const OptionGroup& g = kOptionGroupTable[3];
    struct Case {
        int y, option;
    };
    for (const Case c : {Case{100, 0}, Case{130, 0}, Case{143, 0}, Case{144, 1}, Case{157, 1},
                         Case{158, 2}, Case{172, 3}, Case{185, 3}, Case{400, 3}})
        EXPECT_EQ(optionFromY(c.y, g), c.option) << c.y;
    EXPECT_EQ(optionFromY(58 + 14, kOptionGroupTable[0]), 1);
    EXPECT_EQ(optionFromY(58 + 100, kOptionGroupTable[0]), 1);
}

TEST(OptionsPage, GroupsAndButtonsUnderThePointer) {
    struct Case {
        int x, y;
        bool mono;
        int group, button;
    };
    for (const Case c :
         {Case{34, 58, false, 0, -1}, Case{33, 58, false, -1, -1}, Case{116, 85, false, 0, -1},
          Case{117, 85, false, -1, -1}, Case{34, 86, false, -1, -1}, Case{160, 171, false, 2, -1},
          Case{100, 185, false, 3, -1}, Case{40, 220, false, 4, -1}, Case{40, 220, true, -1, -1},
          Case{160, 218, true, 5, -1}, Case{160, 304, false, 6, -1}, Case{26, 321, false, -1, 0},
          Case{122, 334, false, -1, 0}, Case{123, 334, false, -1, -1}, Case{136, 321, false, -1, 1},
          Case{26, 355, false, -1, 2}, Case{232, 341, false, -1, 3},
          Case{100, 338, false, -1, -1}}) {
        EXPECT_EQ(optionGroupAt(c.x, c.y, c.mono), c.group) << c.x << "," << c.y;
        EXPECT_EQ(pageButtonAt(c.x, c.y), c.button) << c.x << "," << c.y;
    }
}

TEST(OptionsPage, SelectorUsesItsSecondFrameOnTheLastOption) {
    struct Case {
        int group, option, x, y, sourceRow;
    };
    for (const Case c : {Case{0, 0, 34, 58, 0}, Case{0, 1, 34, 72, 15}, Case{3, 2, 34, 158, 0},
                         Case{3, 3, 34, 172, 15}, Case{5, 1, 160, 232, 15}}) {
        const SelectorPlacement s =
            selectorPlacement(kOptionGroupTable[static_cast<std::size_t>(c.group)], c.option);
        EXPECT_EQ(s.x, c.x);
        EXPECT_EQ(s.y, c.y);
        EXPECT_EQ(s.sourceRow, c.sourceRow);
    }
    const PressedCopy apply = pressedCopy(kApplyButton);
    EXPECT_EQ(apply.target.left, 136);
    EXPECT_EQ(apply.target.top, 340);
    EXPECT_EQ(apply.target.right, 234);
    EXPECT_EQ(apply.target.bottom, 356);
    EXPECT_EQ(apply.sourceX, 110);
    EXPECT_EQ(apply.sourceY, 21);
}

} // namespace
} // namespace kavet::editor
