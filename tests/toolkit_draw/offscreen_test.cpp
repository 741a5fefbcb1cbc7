// COffscreenContext: the memory bitmap starts in the background colour, copies go to the
// right place in the destination, and the context cleans up after itself.
#include "canvas.h"

#include "toolkit/offscreencontext.h"

#include <gtest/gtest.h>

using kavet::test::Canvas;
using kavet::test::kUntouched;
using namespace toolkit;

namespace {

bool inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

TEST(Offscreen, EveryPixelStartsInTheBackgroundColour) {
    struct Case {
        int width, height;
        CColorRGBA background;
    };
    const Case cases[] = {
        {12, 8, {10, 200, 30, 255}},
        {1, 1, {255, 255, 255, 255}},
        {3, 20, {0, 0, 0, 255}},
        {20, 2, {128, 64, 32, 0}},
    };
    for (const Case& c : cases) {
        Canvas canvas(24, 24);
        CDrawContext screen(nullptr, canvas.dc, nullptr);
        COffscreenContext offscreen(nullptr, c.width, c.height, c.background);
        offscreen.copyFrom(&screen, CRectangle(0, 0, c.width, c.height));
        const std::uint32_t expected = static_cast<std::uint32_t>(
            c.background.red << 16 | c.background.green << 8 | c.background.blue);
        int wrong = 0;
        for (int y = 0; y < canvas.height; ++y)
            for (int x = 0; x < canvas.width; ++x)
                wrong += canvas.at(x, y) != (x < c.width && y < c.height ? expected : kUntouched);
        EXPECT_EQ(wrong, 0) << c.width << " x " << c.height;
        EXPECT_EQ(offscreen.getFillColor(), c.background);
        EXPECT_EQ(offscreen.getFrameColor(), c.background);
    }
}

TEST(Offscreen, CopyTakesTheSourceOffsetAndTheDestinationOffset) {
    COffscreenContext offscreen(nullptr, 12, 10, kBlackCColor);
    offscreen.setFillColor(CColorRGBA{255, 0, 0, 255});
    offscreen.fillRect(CRectangle(3, 1, 8, 6)); // red at [4,8) x [2,6)

    Canvas canvas(16, 16);
    CDrawContext screen(nullptr, canvas.dc, nullptr);
    screen.offset = CPosition(1, 2);
    offscreen.copyFrom(&screen, CRectangle(5, 5, 11, 9), CPosition(3, 1));
    // Destination [6,12) x [7,11) receives source [3,9) x [1,5).
    const RECT copied{6, 7, 12, 11};
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            std::uint32_t expected = kUntouched;
            if (inside(copied, x, y)) {
                int sx = x - 6 + 3, sy = y - 7 + 1;
                expected = sx >= 4 && sx < 8 && sy >= 2 && sy < 6 ? 0xFF0000 : 0x000000;
            }
            ASSERT_EQ(canvas.at(x, y), expected) << "at " << x << "," << y;
        }
    }
}

TEST(Offscreen, ClipIsTheWholeAreaNormalised) {
    struct Case {
        int width, height;
        CRectangle clip;
    };
    const Case cases[] = {
        {12, 8, {0, 0, 12, 8}},
        {-5, 4, {-5, 0, 0, 4}},
        {6, -3, {0, -3, 6, 0}},
    };
    for (const Case& c : cases) {
        COffscreenContext offscreen(nullptr, c.width, c.height);
        CRectangle clip;
        EXPECT_EQ(offscreen.getClipRect(clip), c.clip);
        EXPECT_EQ(offscreen.getWidth(), c.width);
        EXPECT_EQ(offscreen.getHeight(), c.height);
        EXPECT_EQ(offscreen.getWindow(), nullptr);
    }
}

TEST(Offscreen, DrawingIsClippedInsideTheOffscreen) {
    COffscreenContext offscreen(nullptr, 10, 10, kBlackCColor);
    offscreen.setClipRect(CRectangle(2, 2, 5, 5));
    offscreen.setFillColor(CColorRGBA{0, 0, 255, 255});
    offscreen.fillRect(CRectangle(-1, -1, 10, 10));
    offscreen.setClipRect(CRectangle(0, 0, 10, 10));

    Canvas canvas(10, 10);
    CDrawContext screen(nullptr, canvas.dc, nullptr);
    offscreen.copyFrom(&screen, CRectangle(0, 0, 10, 10));
    const RECT blue{2, 2, 5, 5};
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(canvas.at(x, y), inside(blue, x, y) ? 0x0000FFu : 0u) << x << "," << y;
}

TEST(Offscreen, DestructionDeletesTheMemoryDcAndBitmap) {
    auto* offscreen = new COffscreenContext(nullptr, 8, 8);
    HBITMAP bitmap = offscreen->getBitmapHandle();
    HDC dc = offscreen->getSystemContext();
    ASSERT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    ASSERT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    offscreen->forget();
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(dc), 0u);
}

} // namespace
