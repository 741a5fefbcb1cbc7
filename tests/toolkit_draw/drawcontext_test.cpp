// CDrawContext on a memory DC: fills, outlines, lines, pens and brushes, fonts, text, clip
// handling and the GDI objects a context owns.
#include "canvas.h"

#include "toolkit/drawcontext.h"
#include "toolkit/fonttable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using kavet::test::Canvas;
using kavet::test::kUntouched;
using namespace toolkit;

namespace {

constexpr CColorRGBA kRed{255, 0, 0, 255};
constexpr CColorRGBA kGreen{0, 255, 0, 255};
constexpr CColorRGBA kBlue{0, 0, 255, 255};
constexpr std::uint32_t kRedPixel = 0xFF0000;
constexpr std::uint32_t kGreenPixel = 0x00FF00;
constexpr std::uint32_t kBluePixel = 0x0000FF;

bool inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The canvas as a map of `colour` expected exactly inside `area` (half-open).
std::string expectedMap(const Canvas& c, const RECT& area) {
    std::string out;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x)
            out += inside(area, x, y) ? '#' : '.';
        out += '\n';
    }
    return out;
}

struct FillCase {
    CRectangle rect;
    CPosition offset;
    RECT filled; // device pixels, half-open
};

TEST(DrawContextFill, FillsAllButTheTopRowAndLeftColumn) {
    const FillCase cases[] = {
        {{0, 0, 10, 10}, {0, 0}, {1, 1, 10, 10}},
        {{2, 3, 6, 9}, {0, 0}, {3, 4, 6, 9}},
        {{0, 0, 4, 4}, {5, 2}, {6, 3, 9, 6}},
        {{1, 1, 2, 2}, {0, 0}, {2, 2, 2, 2}}, // 1 x 1: nothing left to fill
    };
    for (const FillCase& c : cases) {
        Canvas canvas(12, 12);
        CDrawContext context(nullptr, canvas.dc, nullptr);
        context.offset = c.offset;
        context.setFillColor(kRed);
        context.fillRect(c.rect);
        EXPECT_EQ(canvas.map(kRedPixel), expectedMap(canvas, c.filled))
            << "rect " << c.rect.left << "," << c.rect.top << "," << c.rect.right << ","
            << c.rect.bottom << " offset " << c.offset.x << "," << c.offset.y;
    }
}

TEST(DrawContextFill, OutlineCoversAllFourEdgesRightAndBottomIncluded) {
    Canvas canvas(12, 10);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    context.offset = CPosition(1, 1);
    context.setFrameColor(kGreen);
    context.drawRect(CRectangle(1, 1, 7, 5)); // device (2,2)..(8,6), both corners included
    std::string expected;
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            bool onVertical = (x == 2 || x == 8) && y >= 2 && y <= 6;
            bool onHorizontal = (y == 2 || y == 6) && x >= 2 && x <= 8;
            expected += onVertical || onHorizontal ? '#' : '.';
        }
        expected += '\n';
    }
    EXPECT_EQ(canvas.map(kGreenPixel), expected);
}

TEST(DrawContextFill, FillAndOutlineTogetherCoverEveryPixel) {
    Canvas canvas(8, 8);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    context.setFillColor(kBlue);
    context.setFrameColor(kBlue);
    context.fillRect(CRectangle(0, 0, 5, 5));
    context.drawRect(CRectangle(0, 0, 5, 5));
    EXPECT_EQ(canvas.map(kBluePixel), expectedMap(canvas, RECT{0, 0, 6, 6}));
}

TEST(DrawContextLines, LinesAreShiftedByTheOffset) {
    Canvas canvas(10, 8);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    context.offset = CPosition(2, 3);
    context.setFrameColor(kRed);
    context.moveTo(CPosition(1, 1));
    context.lineTo(CPosition(5, 1)); // device (3,4) to (7,4), end point excluded
    EXPECT_EQ(canvas.map(kRedPixel), expectedMap(canvas, RECT{3, 4, 7, 5}));
}

LOGPEN currentPen(HDC dc) {
    LOGPEN pen{};
    GetObjectA(GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen);
    return pen;
}

TEST(DrawContextState, StartsWhiteOnBlackWithTransparentTextAndTheDefaultClip) {
    Canvas canvas(4, 4);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    EXPECT_EQ(GetBkMode(canvas.dc), TRANSPARENT);
    EXPECT_EQ(GetTextColor(canvas.dc), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(canvas.dc), RGB(0, 0, 0));
    LOGPEN pen = currentPen(canvas.dc);
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(pen.lopnWidth.x, 1);
    EXPECT_EQ(pen.lopnColor, RGB(255, 255, 255));
    LOGBRUSH brush{};
    GetObjectA(GetCurrentObject(canvas.dc, OBJ_BRUSH), sizeof brush, &brush);
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(brush.lbColor, RGB(0, 0, 0));
    CRectangle clip;
    EXPECT_EQ(context.getClipRect(clip), CRectangle(0, 0, 1000, 1000));
    EXPECT_EQ(context.offset, CPosition(0, 0));
    EXPECT_EQ(context.offsetScreen, CPosition(0, 0));
    EXPECT_EQ(context.getFontColor(), kWhiteCColor);
    EXPECT_EQ(context.getFrameColor(), kWhiteCColor);
    EXPECT_EQ(context.getFillColor(), kBlackCColor);
}

TEST(DrawContextState, LineStyleOneIsDottedAndEverythingElseSolid) {
    struct Case {
        std::int32_t style;
        UINT penStyle;
    };
    const Case cases[] = {{kLineOnOffDash, PS_DOT}, {kLineSolid, PS_SOLID}, {5, PS_SOLID}};
    for (const Case& c : cases) {
        Canvas canvas(4, 4);
        CDrawContext context(nullptr, canvas.dc, nullptr);
        context.setFrameColor(kGreen);
        context.setLineWidth(3);
        context.setLineStyle(c.style);
        LOGPEN pen = currentPen(canvas.dc);
        EXPECT_EQ(pen.lopnStyle, c.penStyle) << "style " << c.style;
        EXPECT_EQ(pen.lopnWidth.x, 3);
        EXPECT_EQ(pen.lopnColor, RGB(0, 255, 0));
        EXPECT_EQ(context.getLineStyle(), c.style);
    }
}

TEST(DrawContextState, FillColourIsAlsoTheBackgroundColourAndFontColourTheTextColour) {
    Canvas canvas(4, 4);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    context.setFillColor(CColorRGBA{1, 2, 3, 0});
    context.setFontColor(CColorRGBA{4, 5, 6, 255});
    EXPECT_EQ(GetBkColor(canvas.dc), RGB(1, 2, 3));
    EXPECT_EQ(GetTextColor(canvas.dc), RGB(4, 5, 6));
}

TEST(DrawContextState, ReplacedPensAndBrushesAreDeleted) {
    Canvas canvas(4, 4);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    // Checked right after each replacement: a later object may reuse a freed handle.
    HGDIOBJ firstPen = GetCurrentObject(canvas.dc, OBJ_PEN);
    context.setFrameColor(kRed);
    EXPECT_NE(GetCurrentObject(canvas.dc, OBJ_PEN), firstPen);
    EXPECT_EQ(GetObjectType(firstPen), 0u);
    HGDIOBJ firstBrush = GetCurrentObject(canvas.dc, OBJ_BRUSH);
    context.setFillColor(kRed);
    EXPECT_NE(GetCurrentObject(canvas.dc, OBJ_BRUSH), firstBrush);
    EXPECT_EQ(GetObjectType(firstBrush), 0u);
}

TEST(DrawContextState, DestructionRestoresTheDcAndDeletesWhatTheContextMade) {
    Canvas canvas(4, 4);
    HGDIOBJ brushBefore = GetCurrentObject(canvas.dc, OBJ_BRUSH);
    HGDIOBJ penBefore = GetCurrentObject(canvas.dc, OBJ_PEN);
    HGDIOBJ fontBefore = GetCurrentObject(canvas.dc, OBJ_FONT);

    auto* context = new CDrawContext(nullptr, canvas.dc, nullptr);
    context->setFont(2);
    HGDIOBJ pen = GetCurrentObject(canvas.dc, OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(canvas.dc, OBJ_BRUSH);
    HGDIOBJ font = GetCurrentObject(canvas.dc, OBJ_FONT);
    ASSERT_NE(font, fontBefore);
    context->forget();

    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_BRUSH), brushBefore);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PEN), penBefore);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), fontBefore);
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
}

TEST(DrawContextState, AWindowlessContextWithoutDcHoldsStateOnly) {
    CDrawContext context(nullptr, nullptr, nullptr);
    EXPECT_EQ(context.getSystemContext(), nullptr);
    context.setFillColor(kRed);
    context.setFont(3);
    context.fillRect(CRectangle(0, 0, 4, 4));
    context.drawString("x", CRectangle(0, 0, 4, 4));
    EXPECT_EQ(context.getFillColor(), kRed);
    EXPECT_EQ(context.getFont(), 3);
}

// ---- Fonts -------------------------------------------------------------------------------

struct FontCase {
    std::int32_t id, size, style;
    std::int32_t storedId, height, weight;
    BYTE italic, underline;
    const char* face;
    BYTE pitchAndFamily;
};

TEST(DrawContextFont, BuildsTheLogicalFontFromTheTable) {
    const FontCase cases[] = {
        {0, 0, 0, 0, -12, 700, 0, 0, "Arial", 34},            // id 0 is always bold
        {9, 0, 0, 0, -12, 700, 0, 0, "Arial", 34},            // out of range: id 0
        {-1, 0, 0, 0, -12, 700, 0, 0, "Arial", 34},           // out of range: id 0
        {8, 0, 0, 0, -12, 700, 0, 0, "Arial", 34},            // one past the table
        {1, 0, 0, 1, -18, 400, 0, 0, "Arial", 34},            //
        {2, 0, kBoldFace, 2, -14, 700, 0, 0, "Arial", 34},    //
        {3, 20, kItalicFace, 3, -20, 400, 1, 0, "Arial", 34}, // explicit size
        {4, 0, kUnderlineFace, 4, -11, 400, 0, 1, "Arial", 34},
        {5, 0, kItalicFace | kUnderlineFace, 5, -10, 400, 1, 1, "Arial", 34},
        {6, 0, 0, 6, -9, 400, 0, 0, "Arial", 34},
        {7, 0, 0, 7, -13, 400, 0, 0, "Symbol", 80}, // decorative family
    };
    for (const FontCase& c : cases) {
        Canvas canvas(4, 4);
        CDrawContext context(nullptr, canvas.dc, nullptr);
        context.setFont(c.id, c.size, c.style);
        LOGFONTA font{};
        ASSERT_NE(GetObjectA(GetCurrentObject(canvas.dc, OBJ_FONT), sizeof font, &font), 0);
        SCOPED_TRACE("font id " + std::to_string(c.id));
        EXPECT_EQ(context.getFont(), c.storedId);
        EXPECT_EQ(context.getFontSize(), -c.height);
        EXPECT_EQ(font.lfHeight, c.height);
        EXPECT_EQ(font.lfWidth, 0);
        EXPECT_EQ(font.lfWeight, c.weight);
        EXPECT_EQ(font.lfItalic, c.italic);
        EXPECT_EQ(font.lfUnderline, c.underline);
        EXPECT_STREQ(font.lfFaceName, c.face);
        EXPECT_EQ(font.lfPitchAndFamily, c.pitchAndFamily);
        EXPECT_EQ(font.lfClipPrecision, 2);
        EXPECT_EQ(font.lfOutPrecision, 1);
        EXPECT_EQ(font.lfQuality, 0);
        EXPECT_EQ(font.lfCharSet, 0);
    }
}

TEST(DrawContextFont, ASecondFontReplacesAndDeletesTheFirst) {
    Canvas canvas(4, 4);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    context.setFont(1);
    HGDIOBJ first = GetCurrentObject(canvas.dc, OBJ_FONT);
    context.setFont(2);
    EXPECT_NE(GetCurrentObject(canvas.dc, OBJ_FONT), first);
    EXPECT_EQ(GetObjectType(first), 0u);
}

TEST(DrawContextFont, TheTableLookupsFallBackToIdZero) {
    EXPECT_STREQ(fontFace(7), "Symbol");
    EXPECT_EQ(fontSize(7), 13);
    EXPECT_EQ(fontSize(1), 18);
    EXPECT_EQ(fontSize(42), 12);
    EXPECT_STREQ(fontFace(-3), "Arial");
}

// ---- Text --------------------------------------------------------------------------------

int leftmostColumnOf(const Canvas& c, std::uint32_t colour) {
    for (int x = 0; x < c.width; ++x)
        for (int y = 0; y < c.height; ++y)
            if (c.at(x, y) == colour) return x;
    return -1;
}

int countOf(const Canvas& c, std::uint32_t colour) {
    int n = 0;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            n += c.at(x, y) == colour ? 1 : 0;
    return n;
}

// The same text drawn straight with DrawTextA, for comparison.
void drawReference(Canvas& canvas, HGDIOBJ font, const char* text, RECT r, UINT format) {
    HGDIOBJ previous = SelectObject(canvas.dc, font);
    SetTextColor(canvas.dc, RGB(255, 0, 0));
    SetBkMode(canvas.dc, TRANSPARENT);
    DrawTextA(canvas.dc, text, static_cast<int>(std::strlen(text)), &r, format);
    SelectObject(canvas.dc, previous);
}

TEST(DrawContextText, AlignmentPicksTheDrawTextFormatAndLeftStartsOnePixelIn) {
    struct Case {
        std::int32_t align;
        UINT format;
        int leftShift;
    };
    const Case cases[] = {{kLeftText, 0x824, 1}, {kCenterText, 0x825, 0}, {kRightText, 0x826, 0}};
    const CRectangle rect(6, 2, 70, 22);
    const CPosition offset(3, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE("align " + std::to_string(c.align));
        Canvas drawn(80, 26);
        CDrawContext context(nullptr, drawn.dc, nullptr);
        context.setFont(3);
        context.setFontColor(kRed);
        context.offset = offset;
        context.drawString("K&v", rect, false, c.align);

        Canvas expected(80, 26);
        RECT r{rect.left + offset.x + c.leftShift, rect.top + offset.y, rect.right + offset.x,
               rect.bottom + offset.y};
        drawReference(expected, GetCurrentObject(drawn.dc, OBJ_FONT), "K&v", r, c.format);

        EXPECT_GT(countOf(drawn, kRedPixel), 0);
        EXPECT_EQ(drawn.map(kRedPixel), expected.map(kRedPixel));
        EXPECT_EQ(GetBkMode(drawn.dc), TRANSPARENT);
    }
}

TEST(DrawContextText, LeftAlignedTextStartsOnePixelRightOfTheRectangle) {
    const CRectangle rect(4, 0, 60, 16);
    Canvas drawn(64, 16);
    CDrawContext context(nullptr, drawn.dc, nullptr);
    context.setFont(3);
    context.setFontColor(kRed);
    context.drawString("Ill", rect, false, kLeftText);

    Canvas flush(64, 16);
    drawReference(flush, GetCurrentObject(drawn.dc, OBJ_FONT), "Ill", rect.toRECT(),
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ASSERT_GE(leftmostColumnOf(flush, kRedPixel), 0);
    EXPECT_EQ(leftmostColumnOf(drawn, kRedPixel), leftmostColumnOf(flush, kRedPixel) + 1);
}

TEST(DrawContextText, OpaqueTextFillsItsCellWithTheFillColourThenModeIsTransparentAgain) {
    for (bool opaque : {true, false}) {
        Canvas canvas(60, 20);
        CDrawContext context(nullptr, canvas.dc, nullptr);
        context.setFont(3);
        context.setFontColor(kRed);
        context.setFillColor(kBlue);
        context.drawString("8", CRectangle(0, 0, 60, 20), opaque, kCenterText);
        EXPECT_GT(countOf(canvas, kRedPixel), 0);
        if (opaque) {
            EXPECT_GT(countOf(canvas, kBluePixel), 0);
        } else {
            EXPECT_EQ(countOf(canvas, kBluePixel), 0);
        }
        EXPECT_EQ(GetBkMode(canvas.dc), TRANSPARENT);
    }
}

TEST(DrawContextText, NullTextDrawsNothing) {
    Canvas canvas(20, 10);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    context.setFillColor(kBlue);
    context.drawString(nullptr, CRectangle(0, 0, 20, 10), true, kLeftText);
    EXPECT_EQ(countOf(canvas, kUntouched), 200);
}

// ---- Clip --------------------------------------------------------------------------------

TEST(DrawContextClip, DrawingStaysInsideTheClipWhichTakesTheOffset) {
    struct Case {
        CPosition offset;
        CRectangle clip;
        RECT device;
    };
    const Case cases[] = {
        {{0, 0}, {4, 4, 8, 8}, {4, 4, 8, 8}},
        {{2, 1}, {4, 4, 8, 8}, {6, 5, 10, 9}},
        {{-3, 0}, {3, 2, 20, 5}, {0, 2, 16, 5}},
    };
    for (const Case& c : cases) {
        Canvas canvas(16, 12);
        CDrawContext context(nullptr, canvas.dc, nullptr);
        context.offset = c.offset;
        context.setClipRect(c.clip);
        CRectangle back;
        EXPECT_EQ(context.getClipRect(back), c.clip);
        RECT box{};
        GetClipBox(canvas.dc, &box);
        EXPECT_EQ(CRectangle::fromRECT(box), CRectangle::fromRECT(c.device));
        context.setFillColor(kRed);
        context.fillRect(CRectangle(-20, -20, 40, 40));
        EXPECT_EQ(canvas.map(kRedPixel), expectedMap(canvas, c.device));
    }
}

TEST(DrawContextClip, AnUnchangedClipLeavesTheDcAlone) {
    Canvas canvas(16, 12);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    context.setClipRect(CRectangle(2, 2, 10, 10));
    // Someone else changes the DC's clip; setting the context's same clip again does not
    // touch the DC, a different one does.
    HRGN other = CreateRectRgn(0, 0, 3, 3);
    SelectClipRgn(canvas.dc, other);
    DeleteObject(other);
    context.setClipRect(CRectangle(2, 2, 10, 10));
    RECT box{};
    GetClipBox(canvas.dc, &box);
    EXPECT_EQ(CRectangle::fromRECT(box), CRectangle(0, 0, 3, 3));
    context.setClipRect(CRectangle(1, 1, 9, 9));
    GetClipBox(canvas.dc, &box);
    EXPECT_EQ(CRectangle::fromRECT(box), CRectangle(1, 1, 9, 9));
}

TEST(DrawContextClip, GetClipRectSubtractsTheCurrentOffset) {
    Canvas canvas(16, 12);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    context.setClipRect(CRectangle(5, 6, 9, 10));
    context.offset = CPosition(5, 6); // a container shifting to its child's origin
    CRectangle clip;
    EXPECT_EQ(context.getClipRect(clip), CRectangle(0, 0, 4, 4));
}

} // namespace
