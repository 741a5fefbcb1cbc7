// Fonts and DrawTextA: alignment flags, clipping to the rectangle, opaque backgrounds,
// measuring, prefixes.
#include "canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using kavet::test::Canvas;
using kavet::test::inside;

namespace {

constexpr std::uint32_t paper = 0x00000010;
constexpr std::uint32_t ink = 0x00FFFFFF;

RECT inkBox(Canvas& d) {
    RECT box{d.width, d.height, -1, -1};
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x)
            if (d.pixel(x, y) == ink) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

HFONT arial(int height) {
    LOGFONTA lf{};
    lf.lfHeight = -height;
    lf.lfWeight = FW_NORMAL;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::strcpy(lf.lfFaceName, "Arial");
    return CreateFontIndirectA(&lf);
}

struct AlignCase {
    const char* name;
    UINT format;
};

TEST(DrawTextA, PlacesTheTextBoxByTheAlignmentFlags) {
    const AlignCase cases[] = {
        {"left top", DT_LEFT | DT_SINGLELINE | DT_NOPREFIX},
        {"centre", DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX},
        {"right", DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX},
        {"left centred vertically", DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX},
        {"bottom", DT_CENTER | DT_BOTTOM | DT_SINGLELINE},
    };
    const RECT rect{5, 4, 75, 34};
    for (const AlignCase& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas d(80, 40, paper);
        HFONT font = arial(12);
        SelectObject(d.dc, font);
        SetTextColor(d.dc, RGB(255, 255, 255));
        SetBkColor(d.dc, RGB(200, 0, 0));
        SetBkMode(d.dc, OPAQUE);
        SIZE size;
        ASSERT_TRUE(GetTextExtentPoint32A(d.dc, "Gain 0.0", 8, &size));
        RECT r = rect;
        int returned = DrawTextA(d.dc, "Gain 0.0", -1, &r, c.format);
        int x = rect.left, y = rect.top;
        if (c.format & DT_CENTER) x = rect.left + (rect.right - rect.left - size.cx) / 2;
        if (c.format & DT_RIGHT) x = rect.right - size.cx;
        if (c.format & DT_VCENTER) y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
        if (c.format & DT_BOTTOM) y = rect.bottom - size.cy;
        EXPECT_EQ(returned,
                  (c.format & (DT_VCENTER | DT_BOTTOM)) ? y - rect.top + size.cy : size.cy);
        RECT textBox{x, y, x + size.cx, y + size.cy};
        RECT box = inkBox(d);
        EXPECT_EQ(box.left, x); // the first glyph's ink starts at its cell
        EXPECT_GT(box.right, x + size.cx - 3);
        EXPECT_LE(box.right, x + size.cx);
        EXPECT_GE(box.top, y);
        EXPECT_LE(box.bottom, y + size.cy);
        // Opaque mode paints exactly the text box; nothing else changes.
        for (int yy = 0; yy < 40; ++yy)
            for (int xx = 0; xx < 80; ++xx) {
                std::uint32_t p = d.pixel(xx, yy);
                if (inside(textBox, xx, yy))
                    ASSERT_TRUE(p == ink || p == 0x00C80000u) << xx << "," << yy;
                else
                    ASSERT_EQ(p, paper) << xx << "," << yy;
            }
        SelectObject(d.dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    }
}

TEST(DrawTextA, ClipsToTheRectangleUnlessNoClip) {
    for (UINT noclip : {0u, static_cast<UINT>(DT_NOCLIP)}) {
        Canvas d(60, 20, paper);
        SetTextColor(d.dc, RGB(255, 255, 255));
        SetBkMode(d.dc, TRANSPARENT);
        RECT r{20, 2, 30, 18};
        DrawTextA(d.dc, "WWWWWWWW", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | noclip);
        RECT box = inkBox(d);
        if (noclip) {
            EXPECT_LT(box.left, 20);
            EXPECT_GT(box.right, 30);
        } else {
            EXPECT_EQ(box.left, 20);
            EXPECT_EQ(box.right, 30);
        }
    }
}

TEST(DrawTextA, TransparentModeLeavesTheBackground) {
    Canvas d(40, 20, paper);
    SetTextColor(d.dc, RGB(255, 255, 255));
    SetBkMode(d.dc, TRANSPARENT);
    RECT r{0, 0, 40, 20};
    DrawTextA(d.dc, "18", 2, &r, DT_LEFT | DT_SINGLELINE);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_TRUE(d.pixel(x, y) == paper || d.pixel(x, y) == ink);
    EXPECT_NE(inkBox(d).right, -1);
}

TEST(DrawTextA, CalcRectMeasuresLinesWithoutDrawing) {
    Canvas d(40, 40, paper);
    SIZE one;
    GetTextExtentPoint32A(d.dc, "abc", 3, &one);
    RECT r{3, 4, 5, 6};
    int height = DrawTextA(d.dc, "abc\nab", -1, &r, DT_CALCRECT);
    EXPECT_EQ(height, 2 * one.cy);
    EXPECT_EQ(r.right, 3 + one.cx);
    EXPECT_EQ(r.bottom, 4 + 2 * one.cy);
    EXPECT_EQ(inkBox(d).right, -1);
}

TEST(DrawTextA, PrefixAmpersandIsHiddenUnlessNoPrefix) {
    Canvas d(10, 10, 0);
    SIZE plain, amp;
    GetTextExtentPoint32A(d.dc, "AB", 2, &plain);
    GetTextExtentPoint32A(d.dc, "A&B", 3, &amp);
    RECT r{0, 0, 0, 0};
    DrawTextA(d.dc, "A&B", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.right, plain.cx);
    r = RECT{0, 0, 0, 0};
    DrawTextA(d.dc, "A&B", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(r.right, amp.cx);
    r = RECT{0, 0, 0, 0};
    DrawTextA(d.dc, "A&&B", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.right, amp.cx);
}

TEST(Fonts, HeightFollowsTheLogicalFontAndBoldWidens) {
    Canvas d(10, 10, 0);
    const int heights[] = {8, 11, 12, 18, 30};
    for (int h : heights) {
        HFONT font = arial(h);
        SelectObject(d.dc, font);
        TEXTMETRICA tm{};
        ASSERT_TRUE(GetTextMetricsA(d.dc, &tm));
        EXPECT_EQ(tm.tmHeight, h) << h;
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
        SelectObject(d.dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    }
    LOGFONTA lf{};
    lf.lfHeight = -12;
    HFONT normal = CreateFontIndirectA(&lf);
    lf.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectA(&lf);
    SIZE a, b;
    SelectObject(d.dc, normal);
    GetTextExtentPoint32A(d.dc, "0.0", 3, &a);
    SelectObject(d.dc, bold);
    GetTextExtentPoint32A(d.dc, "0.0", 3, &b);
    EXPECT_EQ(b.cx, a.cx + 3);
    SelectObject(d.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(normal);
    DeleteObject(bold);
}

TEST(TextOutA, AlignsToTheReferencePointAndUpdatesThePosition) {
    Canvas d(60, 20, paper);
    SetTextColor(d.dc, RGB(255, 255, 255));
    SetBkMode(d.dc, TRANSPARENT);
    SIZE size;
    GetTextExtentPoint32A(d.dc, "12", 2, &size);
    SetTextAlign(d.dc, TA_RIGHT | TA_TOP);
    ASSERT_TRUE(TextOutA(d.dc, 50, 2, "12", 2));
    RECT box = inkBox(d);
    EXPECT_EQ(box.left, 50 - size.cx);
    EXPECT_LE(box.right, 50);
    Canvas e(60, 20, paper);
    SetTextAlign(e.dc, TA_UPDATECP);
    MoveToEx(e.dc, 4, 1, nullptr);
    TextOutA(e.dc, 0, 0, "12", 2);
    POINT p;
    GetCurrentPositionEx(e.dc, &p);
    EXPECT_EQ(p.x, 4 + size.cx);
}

} // namespace
