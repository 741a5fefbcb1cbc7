// FillRect, lines and outlines, pens, clipping of drawing, window-surface DCs.
#include "canvas.h"

#include "gdi/surface.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

using kavet::test::Canvas;
using kavet::test::inside;

namespace {

using PixelSet = std::set<std::pair<int, int>>;

PixelSet inked(Canvas& d, std::uint32_t background) {
    PixelSet out;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x)
            if (d.pixel(x, y) != background) out.insert({x, y});
    return out;
}

struct FillCase {
    const char* name;
    RECT rect;
    RECT filled; // within the 12 x 10 surface
};

TEST(FillRect, FillsRightAndBottomExclusiveAndClipsToTheSurface) {
    const FillCase cases[] = {
        {"inside", {2, 3, 7, 6}, {2, 3, 7, 6}},
        {"one pixel", {4, 4, 5, 5}, {4, 4, 5, 5}},
        {"negative origin", {-3, -2, 2, 3}, {0, 0, 2, 3}},
        {"past the edges", {9, 8, 40, 40}, {9, 8, 12, 10}},
        {"empty", {5, 5, 5, 9}, {0, 0, 0, 0}},
        {"inverted", {7, 6, 2, 3}, {0, 0, 0, 0}},
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas d(12, 10, 0x00010203);
        HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
        EXPECT_NE(FillRect(d.dc, &c.rect, brush), 0);
        DeleteObject(brush);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x)
                ASSERT_EQ(d.pixel(x, y), inside(c.filled, x, y) ? 0x000A141Eu : 0x00010203u)
                    << x << "," << y;
    }
}

TEST(FillRect, AcceptsSystemColourBrushesAndRefusesHollowOnes) {
    Canvas d(4, 4, 0);
    RECT r{0, 0, 4, 4};
    EXPECT_NE(FillRect(d.dc, &r, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1))),
              0);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(d.pixel(3, 3), (GetRValue(face) << 16u) | (GetGValue(face) << 8u) | GetBValue(face));
    EXPECT_EQ(FillRect(d.dc, &r, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 0);
}

struct LineCase {
    const char* name;
    POINT from, to;
    PixelSet pixels;
};

TEST(LineTo, DrawsFromTheStartAndLeavesOutTheEndPoint) {
    const LineCase cases[] = {
        {"horizontal", {1, 2}, {5, 2}, {{1, 2}, {2, 2}, {3, 2}, {4, 2}}},
        {"horizontal leftwards", {5, 2}, {1, 2}, {{5, 2}, {4, 2}, {3, 2}, {2, 2}}},
        {"vertical", {3, 1}, {3, 4}, {{3, 1}, {3, 2}, {3, 3}}},
        {"diagonal", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
        {"anti-diagonal", {4, 0}, {1, 3}, {{4, 0}, {3, 1}, {2, 2}}},
        {"shallow", {0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {"zero length", {2, 2}, {2, 2}, {}},
        {"clipped at the left", {-3, 1}, {2, 1}, {{0, 1}, {1, 1}}},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas d(8, 6, 0);
        POINT previous;
        MoveToEx(d.dc, c.from.x, c.from.y, nullptr);
        ASSERT_TRUE(LineTo(d.dc, c.to.x, c.to.y));
        GetCurrentPositionEx(d.dc, &previous);
        EXPECT_EQ(previous.x, c.to.x);
        EXPECT_EQ(previous.y, c.to.y);
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
        HGDIOBJ old = SelectObject(d.dc, pen);
        MoveToEx(d.dc, c.from.x, c.from.y, nullptr);
        LineTo(d.dc, c.to.x, c.to.y);
        SelectObject(d.dc, old);
        DeleteObject(pen);
        EXPECT_EQ(inked(d, 0), c.pixels);
        for (auto [x, y] : c.pixels)
            EXPECT_EQ(d.pixel(x, y), 0x00FF0000u);
    }
}

TEST(Polyline, ClosedOutlineCoversEveryCornerOnce) {
    Canvas d(10, 10, 0);
    SelectObject(d.dc, GetStockObject(WHITE_PEN));
    const POINT outline[] = {{1, 1}, {6, 1}, {6, 4}, {1, 4}, {1, 1}};
    ASSERT_TRUE(Polyline(d.dc, outline, 5));
    PixelSet expected;
    for (int x = 1; x <= 6; ++x)
        expected.insert({x, 1}), expected.insert({x, 4});
    for (int y = 1; y <= 4; ++y)
        expected.insert({1, y}), expected.insert({6, y});
    EXPECT_EQ(inked(d, 0), expected);
    EXPECT_FALSE(Polyline(d.dc, outline, 1));
}

TEST(Paths, StrokePathDrawsTheRecordedFigureOnlyWhenStroked) {
    Canvas d(10, 10, 0);
    SelectObject(d.dc, GetStockObject(WHITE_PEN));
    BeginPath(d.dc);
    MoveToEx(d.dc, 2, 2, nullptr);
    LineTo(d.dc, 7, 2);
    LineTo(d.dc, 7, 5);
    LineTo(d.dc, 2, 5);
    CloseFigure(d.dc);
    EndPath(d.dc);
    EXPECT_TRUE(inked(d, 0).empty());
    ASSERT_TRUE(StrokePath(d.dc));
    EXPECT_EQ(inked(d, 0).size(), 2u * 6 + 2u * 2);
    EXPECT_EQ(d.pixel(2, 5), 0x00FFFFFFu);
    EXPECT_FALSE(StrokePath(d.dc)); // the path is used up
}

TEST(Rectangle, OutlinesWithThePenAndFillsWithTheBrushInsideTheExclusiveEdges) {
    Canvas d(10, 10, 0);
    SelectObject(d.dc, GetStockObject(WHITE_PEN));
    SelectObject(d.dc, GetStockObject(GRAY_BRUSH));
    ASSERT_TRUE(Rectangle(d.dc, 1, 2, 6, 8));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            std::uint32_t expected = 0;
            if (inside(RECT{1, 2, 6, 8}, x, y))
                expected = (x == 1 || x == 5 || y == 2 || y == 7) ? 0xFFFFFF : 0x808080;
            ASSERT_EQ(d.pixel(x, y), expected) << x << "," << y;
        }
    // Without a pen the filled area loses its right column and bottom row.
    Canvas e(10, 10, 0);
    SelectObject(e.dc, GetStockObject(NULL_PEN));
    SelectObject(e.dc, GetStockObject(WHITE_BRUSH));
    Rectangle(e.dc, 1, 2, 6, 8);
    EXPECT_EQ(inked(e, 0).size(), 4u * 5u);
    EXPECT_EQ(e.pixel(4, 6), 0xFFFFFFu);
    EXPECT_EQ(e.pixel(5, 6), 0u);
}

TEST(Pens, DottedPenAlternatesThreeOnThreeOffAndFillsGapsWhenOpaque) {
    for (int mode : {TRANSPARENT, OPAQUE}) {
        Canvas d(20, 1, 0x00000001);
        HPEN pen = CreatePen(PS_DOT, 1, RGB(255, 255, 255));
        SelectObject(d.dc, pen);
        SetBkMode(d.dc, mode);
        SetBkColor(d.dc, RGB(0, 0, 255));
        MoveToEx(d.dc, 0, 0, nullptr);
        LineTo(d.dc, 13, 0);
        for (int x = 0; x < 20; ++x) {
            std::uint32_t expected = 1;
            if (x < 13) expected = (x / 3) % 2 == 0 ? 0xFFFFFF : (mode == OPAQUE ? 0x0000FF : 1);
            ASSERT_EQ(d.pixel(x, 0), expected) << x;
        }
        SelectObject(d.dc, GetStockObject(BLACK_PEN));
        DeleteObject(pen);
    }
}

TEST(Pens, NullPenDrawsNothing) {
    Canvas d(6, 6, 0);
    SelectObject(d.dc, GetStockObject(NULL_PEN));
    MoveToEx(d.dc, 0, 0, nullptr);
    LineTo(d.dc, 5, 5);
    EXPECT_TRUE(inked(d, 0).empty());
}

TEST(ClipRegion, BoundsLinesAndFills) {
    Canvas d(10, 10, 0);
    IntersectClipRect(d.dc, 2, 2, 8, 8);
    IntersectClipRect(d.dc, 0, 0, 5, 10);
    RECT all{0, 0, 10, 10};
    FillRect(d.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(d.pixel(x, y), inside(RECT{2, 2, 5, 8}, x, y) ? 0xFFFFFFu : 0u);
}

TEST(SurfaceDC, DrawsAtItsOriginAndOnlyInsideItsClip) {
    kavet::platform::Surface surface;
    surface.resize(12, 10);
    ASSERT_EQ(surface.pixels, surface.storage.data());
    HDC dc = kavet::platform::createSurfaceDC(surface, POINT{3, 2}, RECT{2, 1, 9, 20});
    RECT r{-5, -5, 4, 3};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(surface.pixels[y * 12 + x], inside(RECT{2, 1, 7, 5}, x, y) ? 0xFFFFFFu : 0u)
                << x << "," << y;
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, -1);
    EXPECT_EQ(box.top, -1);
    EXPECT_EQ(box.right, 6);
    EXPECT_EQ(box.bottom, 8);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    kavet::platform::releaseSurfaceDC(dc);
    EXPECT_EQ(GetObjectType(dc), 0u);
}

} // namespace
