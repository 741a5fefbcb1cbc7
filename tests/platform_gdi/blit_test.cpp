// BitBlt raster operations, clipping against both surfaces, TransparentBlt (direct, through
// msimg32.dll, and by the monochrome-mask method), AlphaBlend.
#include "canvas.h"

#include <gtest/gtest.h>

#include <functional>

using kavet::test::Canvas;
using kavet::test::inside;

namespace {

std::uint32_t sourcePattern(int x, int y) {
    return static_cast<std::uint32_t>(0x00103050 + x * 0x010203 + y * 0x050301);
}
std::uint32_t destPattern(int x, int y) {
    return static_cast<std::uint32_t>(0x00F0C0A0 - x * 0x020101 - y * 0x010302);
}

void paint(Canvas& d, std::uint32_t (*pattern)(int, int)) {
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x)
            d.pixel(x, y) = pattern(x, y);
}

struct RopCase {
    const char* name;
    DWORD rop;
    std::function<std::uint32_t(std::uint32_t d, std::uint32_t s, std::uint32_t p)> expect;
};

TEST(BitBlt, EveryRasterOperationChangesOnlyTheTargetRectangle) {
    const std::uint32_t brushPixel = 0x00336699; // RGB(0x33,0x66,0x99)
    const RopCase cases[] = {
        {"SRCCOPY", SRCCOPY, [](auto, auto s, auto) { return s; }},
        {"SRCINVERT", SRCINVERT, [](auto d, auto s, auto) { return d ^ s; }},
        {"SRCAND", SRCAND, [](auto d, auto s, auto) { return d & s; }},
        {"SRCPAINT", SRCPAINT, [](auto d, auto s, auto) { return d | s; }},
        {"SRCERASE", SRCERASE, [](auto d, auto s, auto) { return s & ~d & 0xFFFFFFu; }},
        {"NOTSRCCOPY", NOTSRCCOPY, [](auto, auto s, auto) { return ~s & 0xFFFFFFu; }},
        {"NOTSRCERASE", NOTSRCERASE, [](auto d, auto s, auto) { return ~(d | s) & 0xFFFFFFu; }},
        {"MERGECOPY", MERGECOPY, [](auto, auto s, auto p) { return s & p; }},
        {"MERGEPAINT", MERGEPAINT, [](auto d, auto s, auto) { return (~s | d) & 0xFFFFFFu; }},
        {"PATCOPY", PATCOPY, [](auto, auto, auto p) { return p; }},
        {"PATINVERT", PATINVERT, [](auto d, auto, auto p) { return d ^ p; }},
        {"DSTINVERT", DSTINVERT, [](auto d, auto, auto) { return ~d & 0xFFFFFFu; }},
        {"BLACKNESS", BLACKNESS, [](auto, auto, auto) { return 0u; }},
        {"WHITENESS", WHITENESS, [](auto, auto, auto) { return 0xFFFFFFu; }},
    };
    const RECT target{3, 2, 3 + 7, 2 + 5};
    const int sx = 4, sy = 6;
    for (const RopCase& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas src(16, 16, 0), dst(16, 16, 0);
        paint(src, sourcePattern);
        paint(dst, destPattern);
        HBRUSH brush = CreateSolidBrush(RGB(0x33, 0x66, 0x99));
        HGDIOBJ old = SelectObject(dst.dc, brush);
        ASSERT_TRUE(BitBlt(dst.dc, target.left, target.top, 7, 5, src.dc, sx, sy, c.rop));
        SelectObject(dst.dc, old);
        DeleteObject(brush);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                std::uint32_t d = destPattern(x, y);
                std::uint32_t expected =
                    inside(target, x, y)
                        ? c.expect(d, sourcePattern(x - 3 + sx, y - 2 + sy), brushPixel)
                        : d;
                ASSERT_EQ(dst.pixel(x, y), expected) << "at " << x << "," << y;
            }
    }
}

struct ClipCase {
    const char* name;
    int x, y, w, h, sx, sy;
};

TEST(BitBlt, ClipsToBothSurfacesAndNegativeOrigins) {
    const ClipCase cases[] = {
        {"inside", 2, 2, 4, 4, 1, 1},
        {"negative destination", -3, -2, 6, 6, 0, 0},
        {"negative source", 2, 3, 6, 6, -2, -4},
        {"past destination", 7, 6, 6, 6, 0, 0},
        {"past source", 0, 0, 8, 8, 5, 3},
        {"both negative", -1, -1, 5, 5, -2, -1},
        {"zero width", 1, 1, 0, 4, 0, 0},
        {"entirely outside", 20, 20, 4, 4, 0, 0},
    };
    for (const ClipCase& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas src(7, 6, 0), dst(10, 9, 0);
        paint(src, sourcePattern);
        paint(dst, destPattern);
        ASSERT_TRUE(BitBlt(dst.dc, c.x, c.y, c.w, c.h, src.dc, c.sx, c.sy, SRCCOPY));
        for (int y = 0; y < dst.height; ++y)
            for (int x = 0; x < dst.width; ++x) {
                int u = x - c.x + c.sx, v = y - c.y + c.sy;
                bool copied = inside(RECT{c.x, c.y, c.x + c.w, c.y + c.h}, x, y) &&
                              inside(RECT{0, 0, 7, 6}, u, v);
                ASSERT_EQ(dst.pixel(x, y), copied ? sourcePattern(u, v) : destPattern(x, y))
                    << x << "," << y;
            }
    }
}

TEST(BitBlt, RespectsTheDestinationClipRegionButNotTheSources) {
    Canvas src(8, 8, 0), dst(8, 8, 0);
    paint(src, sourcePattern);
    paint(dst, destPattern);
    HRGN clip = CreateRectRgn(2, 1, 5, 7);
    EXPECT_EQ(SelectClipRgn(dst.dc, clip), SIMPLEREGION);
    DeleteObject(clip); // the DC keeps its own copy
    HRGN srcClip = CreateRectRgn(0, 0, 1, 1);
    SelectClipRgn(src.dc, srcClip);
    DeleteObject(srcClip);
    RECT box;
    EXPECT_EQ(GetClipBox(dst.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.bottom, 7);
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 8, 8, src.dc, 0, 0, SRCCOPY));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(dst.pixel(x, y),
                      inside(RECT{2, 1, 5, 7}, x, y) ? sourcePattern(x, y) : destPattern(x, y));
    EXPECT_EQ(SelectClipRgn(dst.dc, nullptr), SIMPLEREGION);
    GetClipBox(dst.dc, &box);
    EXPECT_EQ(box.right, 8);
}

TEST(BitBlt, CopiesWithinOneSurfaceWithOverlap) {
    const POINT shifts[] = {{2, 1}, {-2, -1}, {3, 0}, {0, -3}};
    for (POINT s : shifts) {
        Canvas d(12, 12, 0);
        paint(d, sourcePattern);
        ASSERT_TRUE(BitBlt(d.dc, 3 + s.x, 3 + s.y, 6, 6, d.dc, 3, 3, SRCCOPY));
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                ASSERT_EQ(d.pixel(3 + s.x + x, 3 + s.y + y), sourcePattern(3 + x, 3 + y));
    }
}

TEST(BitBlt, BottomUpAndTopDownSectionsDrawTheSameImage) {
    Canvas topDown(5, 4, 0), bottomUp(5, 4, 0, true), out(5, 4, 0);
    paint(topDown, sourcePattern);
    paint(bottomUp, sourcePattern);
    EXPECT_EQ(bottomUp.bits[0], sourcePattern(0, 3)); // memory starts with the bottom row
    BitBlt(out.dc, 0, 0, 5, 4, bottomUp.dc, 0, 0, SRCCOPY);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(out.pixel(x, y), topDown.pixel(x, y));
}

TEST(BitBlt, FailsWithoutASourceWhenTheOperationNeedsOne) {
    Canvas dst(4, 4, 0);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 4, 4, nullptr, 0, 0, WHITENESS));
    EXPECT_EQ(dst.pixel(3, 3), 0xFFFFFFu);
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 4, 4, dst.dc, 0, 0, SRCCOPY));
}

using TransparentBltProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);

TEST(TransparentBlt, LeavesKeyPixelsAndIsFoundInMsimg32) {
    HMODULE msimg32 = LoadLibraryA("msimg32.dll");
    ASSERT_NE(msimg32, nullptr);
    auto proc = reinterpret_cast<TransparentBltProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(msimg32, "TransparentBlt")));
    ASSERT_NE(proc, nullptr);
    Canvas src(6, 6, 0), dst(10, 10, 0x00123456);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            src.pixel(x, y) = (x + y) % 2 ? 0x00FFFFFF : sourcePattern(x, y);
    ASSERT_TRUE(proc(dst.dc, 2, 3, 6, 6, src.dc, 0, 0, 6, 6, RGB(255, 255, 255)));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool copied = inside(RECT{2, 3, 8, 9}, x, y) && (x - 2 + y - 3) % 2 == 0;
            ASSERT_EQ(dst.pixel(x, y), copied ? sourcePattern(x - 2, y - 3) : 0x00123456u)
                << x << "," << y;
        }
    EXPECT_TRUE(FreeLibrary(msimg32));
}

TEST(TransparentBlt, StretchesByNearestNeighbourAndRefusesEmptySizes) {
    Canvas src(2, 2, 0), dst(6, 6, 0x00000001);
    src.pixel(0, 0) = 0x00FF0000;
    src.pixel(1, 0) = 0x0000FF00;
    src.pixel(0, 1) = 0x000000FF;
    src.pixel(1, 1) = 0x00FF00FF; // the key
    ASSERT_TRUE(TransparentBlt(dst.dc, 1, 1, 4, 4, src.dc, 0, 0, 2, 2, RGB(255, 0, 255)));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            std::uint32_t expected = 1;
            if (inside(RECT{1, 1, 5, 5}, x, y)) {
                std::uint32_t s = src.pixel((x - 1) / 2, (y - 1) / 2);
                if (s != 0x00FF00FF) expected = s;
            }
            ASSERT_EQ(dst.pixel(x, y), expected) << x << "," << y;
        }
    EXPECT_FALSE(TransparentBlt(dst.dc, 0, 0, 0, 4, src.dc, 0, 0, 2, 2, 0));
    EXPECT_FALSE(TransparentBlt(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, -2, 2, 0));
}

// The keyed copy done the way it is done without msimg32: a monochrome mask made from the
// source's background colour, then XOR, AND, XOR on the destination.
TEST(TransparentBlt, MonochromeMaskMethodMatchesTheKeyedCopy) {
    const COLORREF key = RGB(255, 255, 255);
    Canvas src(6, 5, 0), dst(9, 8, 0), expected(9, 8, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            src.pixel(x, y) = (x * y) % 3 == 0 ? 0x00FFFFFF : sourcePattern(x, y);
    paint(dst, destPattern);
    paint(expected, destPattern);
    TransparentBlt(expected.dc, 2, 1, 6, 5, src.dc, 0, 0, 6, 5, key);

    HDC maskDc = CreateCompatibleDC(dst.dc);
    HBITMAP mask = CreateBitmap(6, 5, 1, 1, nullptr);
    HGDIOBJ oldMask = SelectObject(maskDc, mask);
    COLORREF oldBack = SetBkColor(dst.dc, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(dst.dc, RGB(0, 0, 0));
    SetBkColor(src.dc, key);
    ASSERT_TRUE(BitBlt(maskDc, 0, 0, 6, 5, src.dc, 0, 0, SRCCOPY));
    ASSERT_TRUE(BitBlt(dst.dc, 2, 1, 6, 5, src.dc, 0, 0, SRCINVERT));
    ASSERT_TRUE(BitBlt(dst.dc, 2, 1, 6, 5, maskDc, 0, 0, SRCAND));
    ASSERT_TRUE(BitBlt(dst.dc, 2, 1, 6, 5, src.dc, 0, 0, SRCINVERT));
    EXPECT_EQ(SetBkColor(dst.dc, oldBack), RGB(255, 255, 255));
    EXPECT_EQ(SetTextColor(dst.dc, oldText), RGB(0, 0, 0));
    SelectObject(maskDc, oldMask);
    DeleteObject(mask);
    DeleteDC(maskDc);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(dst.pixel(x, y), expected.pixel(x, y)) << x << "," << y;
}

TEST(AlphaBlend, BlendsWithConstantAndPremultipliedAlpha) {
    Canvas src(2, 1, 0), dst(2, 1, 0x00204060);
    src.pixel(0, 0) = 0x00FF8000;
    src.pixel(1, 0) = 0x80800000; // premultiplied red at alpha 128
    BLENDFUNCTION constant{AC_SRC_OVER, 0, 128, 0};
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, constant));
    // Per channel, rounded: s * 128 / 255 + d * 127 / 255.
    EXPECT_EQ(dst.pixel(0, 0), 0x00906030u);
    BLENDFUNCTION perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(AlphaBlend(dst.dc, 1, 0, 1, 1, src.dc, 1, 0, 1, 1, perPixel));
    EXPECT_EQ(dst.pixel(1, 0) & 0xFFFFFF, 0x00902030u);
    EXPECT_FALSE(
        AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 1, 0, 2, 1, constant)); // outside the source
}

} // namespace
