// DCs, bitmaps and object bookkeeping: selection, deletion, GetObjectA, GetDIBits, formats.
#include "canvas.h"

#include <gtest/gtest.h>

#include <cstring>

using kavet::test::Canvas;

namespace {

TEST(MemoryDC, StartsWithAMonochromeBitmapAndStockObjects) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm),
              static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    // A bitmap compatible with a fresh memory DC is monochrome too (a classic trap).
    HBITMAP mono = CreateCompatibleBitmap(dc, 8, 8);
    GetObjectA(mono, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidthBytes, 2);
    DeleteObject(mono);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(SelectObject, ReturnsThePreviousObjectOfEachKind) {
    Canvas d(4, 4, 0);
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(1, 2, 3));
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    LOGFONTA lf{};
    lf.lfHeight = -12;
    HFONT font = CreateFontIndirectA(&lf);
    EXPECT_EQ(SelectObject(d.dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(d.dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(d.dc, font), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetCurrentObject(d.dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(d.dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(d.dc, OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(d.dc, OBJ_BITMAP), d.bitmap);
    // Deleting a selected pen succeeds; it goes when it is deselected.
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN));
    SelectObject(d.dc, GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetObjectType(pen), 0u);
    SelectObject(d.dc, GetStockObject(WHITE_BRUSH));
    SelectObject(d.dc, GetStockObject(SYSTEM_FONT));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH))); // stock objects stay
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
}

TEST(SelectObject, ABitmapLivesInOneMemoryDCAtATime) {
    Canvas d(4, 4, 0);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, d.bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(d.bitmap)); // selected: cannot go
    HBITMAP second = CreateCompatibleBitmap(d.dc, 3, 3);
    EXPECT_NE(SelectObject(other, second), nullptr);
    DeleteDC(other);
    EXPECT_TRUE(DeleteObject(second));
    EXPECT_EQ(SelectObject(d.dc, nullptr), nullptr);
}

TEST(GetObjectA, DescribesPensBrushesFontsAndSections) {
    LOGPEN lp{PS_DOT, {1, 0}, RGB(9, 8, 7)};
    HPEN pen = CreatePenIndirect(&lp);
    LOGPEN readPen{};
    EXPECT_EQ(GetObjectA(pen, sizeof readPen, &readPen), static_cast<int>(sizeof readPen));
    EXPECT_EQ(readPen.lopnStyle, static_cast<UINT>(PS_DOT));
    EXPECT_EQ(readPen.lopnColor, RGB(9, 8, 7));
    LOGBRUSH lb{BS_SOLID, RGB(1, 1, 1), 0};
    HBRUSH brush = CreateBrushIndirect(&lb);
    LOGBRUSH readBrush{};
    GetObjectA(brush, sizeof readBrush, &readBrush);
    EXPECT_EQ(readBrush.lbColor, RGB(1, 1, 1));
    LOGFONTA lf{};
    lf.lfHeight = -14;
    lf.lfWeight = FW_BOLD;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::strcpy(lf.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&lf);
    LOGFONTA readFont{};
    EXPECT_EQ(GetObjectA(font, sizeof readFont, &readFont), static_cast<int>(sizeof readFont));
    EXPECT_EQ(readFont.lfHeight, -14);
    EXPECT_STREQ(readFont.lfFaceName, "Arial");
    EXPECT_EQ(readFont.lfPitchAndFamily, 34);
    EXPECT_EQ(GetObjectA(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTA)));

    Canvas bottomUp(5, 3, 0, true);
    DIBSECTION ds{};
    EXPECT_EQ(GetObjectA(bottomUp.bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBits, bottomUp.bits);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 20);
    EXPECT_EQ(ds.dsBmih.biHeight, 3);
    BITMAP bm{};
    EXPECT_EQ(GetObjectA(bottomUp.bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(GetObjectA(nullptr, sizeof bm, &bm), 0);
    DeleteObject(pen);
    DeleteObject(brush);
    DeleteObject(font);
}

TEST(CreateDIBSection, RefusesFormatsItDoesNotDraw) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biPlanes = 1;
    void* bits = reinterpret_cast<void*>(1);
    const WORD counts[] = {8, 16, 24};
    for (WORD count : counts) {
        info.bmiHeader.biBitCount = count;
        EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
        EXPECT_EQ(bits, nullptr);
    }
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biWidth = 0;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(GetDIBits, ReadsTopDownOrBottomUpInTheRequestedRowOrder) {
    Canvas source(3, 4, 0, true);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            source.pixel(x, y) = static_cast<std::uint32_t>(y * 16 + x);
    HDC screen = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    ASSERT_NE(GetDIBits(screen, source.bitmap, 0, 0, nullptr, &info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(info.bmiHeader.biWidth, 3);
    EXPECT_EQ(info.bmiHeader.biHeight, 4);
    EXPECT_EQ(info.bmiHeader.biBitCount, 32);
    for (LONG height : {-4, 4}) {
        std::uint32_t out[12] = {};
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        ASSERT_EQ(GetDIBits(screen, source.bitmap, 0, 4, out, &info, DIB_RGB_COLORS), 4);
        for (int row = 0; row < 4; ++row) {
            int y = height < 0 ? row : 3 - row;
            for (int x = 0; x < 3; ++x)
                ASSERT_EQ(out[row * 3 + x], static_cast<std::uint32_t>(y * 16 + x));
        }
    }
    // 24-bit rows are padded to four bytes.
    unsigned char rgb[4 * 12] = {};
    info.bmiHeader.biHeight = -4;
    info.bmiHeader.biBitCount = 24;
    ASSERT_EQ(GetDIBits(screen, source.bitmap, 1, 2, rgb, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(rgb[0], 16);  // row 1, pixel 0, blue byte
    EXPECT_EQ(rgb[12], 32); // row 2 starts after 9 bytes + 3 of padding
    EXPECT_EQ(GetDIBits(screen, nullptr, 0, 4, rgb, &info, DIB_RGB_COLORS), 0);
    DeleteDC(screen);
}

TEST(Pixels, SetPixelAndGetPixelUseColorRefOrder) {
    Canvas d(3, 3, 0);
    EXPECT_EQ(SetPixel(d.dc, 1, 2, RGB(0x11, 0x22, 0x33)), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(d.pixel(1, 2), 0x00112233u);
    EXPECT_EQ(GetPixel(d.dc, 1, 2), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(GetPixel(d.dc, 3, 0), CLR_INVALID);
}

TEST(MonochromeBitmap, ColourToMonoMakesTheBackgroundColourWhite) {
    Canvas src(4, 1, 0);
    src.pixel(0, 0) = 0x00FF00FF;
    src.pixel(1, 0) = 0x00FFFFFF;
    src.pixel(2, 0) = 0x00000000;
    src.pixel(3, 0) = 0x00FF00FF;
    HDC monoDc = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateBitmap(4, 1, 1, 1, nullptr);
    SelectObject(monoDc, mono);
    SetBkColor(src.dc, RGB(255, 0, 255));
    BitBlt(monoDc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY);
    // Back to colour: 1 bits take the destination's background colour, 0 bits its text colour.
    Canvas out(4, 1, 0);
    SetBkColor(out.dc, RGB(0, 0, 200));
    SetTextColor(out.dc, RGB(10, 0, 0));
    BitBlt(out.dc, 0, 0, 4, 1, monoDc, 0, 0, SRCCOPY);
    EXPECT_EQ(out.pixel(0, 0), 0x000000C8u);
    EXPECT_EQ(out.pixel(1, 0), 0x000A0000u);
    EXPECT_EQ(out.pixel(2, 0), 0x000A0000u);
    EXPECT_EQ(out.pixel(3, 0), 0x000000C8u);
    DeleteDC(monoDc);
    DeleteObject(mono);
}

} // namespace
