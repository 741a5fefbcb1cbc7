// CParamDisplay: the plain rendition (background, frame, text and their style bits), the
// value-to-text conversion order and the setters' dirty rule.
#include "canvas.h"
#include "toolkit/drawcontext.h"
#include "toolkit/paramdisplay.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace toolkit;
using namespace kavet::test;

namespace {

constexpr CColorRGBA kBlue{0, 0, 255, 255};
constexpr CColorRGBA kGreen{0, 255, 0, 255};
constexpr std::uint32_t kBlueRgb = 0x0000FF;
constexpr std::uint32_t kRedRgb = 0xFF0000;
constexpr std::uint32_t kGreenRgb = 0x00FF00;
constexpr std::uint32_t kWhiteRgb = 0xFFFFFF;

// A display at (10, 10, 50, 30) drawn into a 60 x 40 canvas.
struct Drawn {
    explicit Drawn(std::int32_t style, const std::function<void(CParamDisplay&)>& setUp = {})
        : canvas(60, 40), display(CRectangle(10, 10, 50, 30), nullptr, style) {
        display.setBackColor(kBlue);
        display.setFrameColor(kRedCColor);
        if (setUp) setUp(display);
        CDrawContext context(nullptr, canvas.dc, nullptr);
        display.draw(&context);
    }
    int inside(std::uint32_t colour) const { return canvas.count(colour, 10, 10, 50, 30); }
    int outside() const {
        return 60 * 40 - 40 * 20 - canvas.count(kUntouched, 0, 0, 60, 40) +
               canvas.count(kUntouched, 10, 10, 50, 30);
    }
    Canvas canvas;
    CParamDisplay display;
};

TEST(ParamDisplayDraw, NoDrawStyleStartsCleanAndDrawsNothing) {
    CParamDisplay display(CRectangle(10, 10, 50, 30), nullptr, kNoDrawStyle);
    EXPECT_FALSE(display.isDirty());
    Drawn drawn(kNoDrawStyle);
    EXPECT_EQ(drawn.canvas.count(kUntouched, 0, 0, 60, 40), 60 * 40);
    EXPECT_FALSE(drawn.display.isDirty());
}

TEST(ParamDisplayDraw, OpaqueBackgroundFillsTheWholeControlAndTheFrameItsEdge) {
    Drawn drawn(kNoTextStyle);
    const Canvas& c = drawn.canvas;
    EXPECT_EQ(drawn.outside(), 0) << "nothing outside the control";
    for (int x = 10; x < 50; ++x) {
        EXPECT_EQ(c.at(x, 10), kRedRgb) << x;
        EXPECT_EQ(c.at(x, 29), kRedRgb) << x;
    }
    for (int y = 10; y < 30; ++y) {
        EXPECT_EQ(c.at(10, y), kRedRgb) << y;
        EXPECT_EQ(c.at(49, y), kRedRgb) << y;
    }
    EXPECT_EQ(c.count(kBlueRgb, 11, 11, 49, 29), 38 * 18) << "the inside is the back colour";
    EXPECT_FALSE(drawn.display.isDirty());
}

TEST(ParamDisplayDraw, NoFrameStyleLeavesTheEdgesInTheBackColour) {
    Drawn drawn(kNoTextStyle | kNoFrame);
    EXPECT_EQ(drawn.inside(kBlueRgb), 40 * 20);
    EXPECT_EQ(drawn.outside(), 0);
}

TEST(ParamDisplayDraw, BevelStylesLightAndShadeOppositeEdges) {
    for (std::int32_t style : {k3DIn, k3DOut}) {
        Drawn drawn(kNoTextStyle | style);
        const std::uint32_t lit = style == k3DIn ? kRedRgb : kWhiteRgb;
        const std::uint32_t shaded = style == k3DIn ? kWhiteRgb : kRedRgb;
        EXPECT_EQ(drawn.canvas.at(10, 20), lit) << style;    // left edge
        EXPECT_EQ(drawn.canvas.at(30, 10), lit) << style;    // top edge
        EXPECT_EQ(drawn.canvas.at(49, 20), shaded) << style; // right edge
        EXPECT_EQ(drawn.canvas.at(30, 29), shaded) << style; // bottom edge
        EXPECT_EQ(drawn.canvas.at(30, 20), kBlueRgb) << style;
    }
}

TEST(ParamDisplayDraw, TransparentControlWithoutBitmapLeavesItsBackgroundAlone) {
    Drawn drawn(kNoTextStyle | kNoFrame, [](CParamDisplay& d) { d.setTransparency(true); });
    EXPECT_EQ(drawn.canvas.count(kUntouched, 0, 0, 60, 40), 60 * 40);
}

TEST(ParamDisplayDraw, TextIsDrawnInTheFontColourUnlessNoTextStyle) {
    auto white = [](CParamDisplay& d) {
        d.setFontColor(kWhiteCColor);
        d.setValue(0.5f);
    };
    Drawn withText(kNoFrame, white);
    Drawn withoutText(kNoFrame | kNoTextStyle, white);
    EXPECT_GT(withText.inside(kWhiteRgb), 10);
    EXPECT_EQ(withoutText.inside(kWhiteRgb), 0);
    EXPECT_EQ(withText.outside(), 0) << "text stays inside the control";
}

TEST(ParamDisplayDraw, ShadowedTextAddsTheShadowColour) {
    auto setUp = [](CParamDisplay& d) {
        d.setFontColor(kWhiteCColor);
        d.setShadowColor(kGreen);
    };
    Drawn shadowed(kNoFrame | kShadowedText, setUp);
    Drawn plain(kNoFrame, setUp);
    EXPECT_GT(shadowed.inside(kGreenRgb), 5);
    EXPECT_EQ(plain.inside(kGreenRgb), 0);
}

TEST(ParamDisplayDraw, AlignmentMovesTheText) {
    auto leftmostInk = [](std::int32_t align) {
        Drawn drawn(kNoFrame, [align](CParamDisplay& d) { d.setHoriAlign(align); });
        for (int x = 10; x < 50; ++x)
            if (drawn.canvas.count(kWhiteRgb, x, 10, x + 1, 30) > 0) return x;
        return -1;
    };
    const int left = leftmostInk(kLeftText), centre = leftmostInk(kCenterText),
              right = leftmostInk(kRightText);
    EXPECT_NE(left, -1);
    EXPECT_LT(left, centre);
    EXPECT_LT(centre, right);
}

// What the converters saw.
struct Conversions {
    std::string log;
};
Conversions conversions;

void plainConvert(float value, char* text) {
    conversions.log += "plain:" + std::to_string(value) + ";";
    std::snprintf(text, 256, "P");
}
void dataConvert(float value, char* text, void* data) {
    conversions.log += "data:" + std::to_string(value) + ":" + static_cast<const char*>(data) + ";";
    std::snprintf(text, 256, "D");
}

TEST(ParamDisplayConvert, ConverterWithDataWinsOverThePlainOne) {
    static char userData[] = "ud";
    conversions = {};
    Drawn both(kNoFrame, [](CParamDisplay& d) {
        d.setValue(0.25f);
        d.setStringConvert(plainConvert);
        d.setStringConvertWithData(dataConvert, userData);
    });
    EXPECT_EQ(conversions.log, "data:0.250000:ud;");
    EXPECT_EQ(both.display.getUserData(), userData);
    conversions = {};
    Drawn plainOnly(kNoFrame, [](CParamDisplay& d) {
        d.setValue(0.75f);
        d.setStringConvert(plainConvert);
    });
    EXPECT_EQ(conversions.log, "plain:0.750000;");
}

TEST(ParamDisplaySetters, MarkDirtyOnlyWhenTheLookChanges) {
    struct Case {
        const char* name;
        std::function<void(CParamDisplay&)> same, different;
    } cases[] = {
        {"font", [](CParamDisplay& d) { d.setFont(3); }, [](CParamDisplay& d) { d.setFont(2); }},
        {"font colour", [](CParamDisplay& d) { d.setFontColor(kWhiteCColor); },
         [](CParamDisplay& d) { d.setFontColor(kRedCColor); }},
        {"back colour", [](CParamDisplay& d) { d.setBackColor(kBlackCColor); },
         [](CParamDisplay& d) { d.setBackColor(kGreyCColor); }},
        {"frame colour", [](CParamDisplay& d) { d.setFrameColor(kBlackCColor); },
         [](CParamDisplay& d) { d.setFrameColor(kWhiteCColor); }},
        {"shadow colour", [](CParamDisplay& d) { d.setShadowColor(kRedCColor); },
         [](CParamDisplay& d) { d.setShadowColor(kBlackCColor); }},
        {"alignment", [](CParamDisplay& d) { d.setHoriAlign(kCenterText); },
         [](CParamDisplay& d) { d.setHoriAlign(kRightText); }},
        {"style", [](CParamDisplay& d) { d.setStyle(0); },
         [](CParamDisplay& d) { d.setStyle(kNoFrame); }},
        {"face", [](CParamDisplay& d) { d.setTxtFace(0); },
         [](CParamDisplay& d) { d.setTxtFace(kBoldFace); }},
    };
    for (const Case& c : cases) {
        CParamDisplay display(CRectangle(0, 0, 10, 10));
        display.setDirty(false);
        c.same(display);
        EXPECT_FALSE(display.isDirty()) << c.name << " set to its current value";
        c.different(display);
        EXPECT_TRUE(display.isDirty()) << c.name << " changed";
    }
}

} // namespace
