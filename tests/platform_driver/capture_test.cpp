// Capture composes a window with its visible children, clipped to their parents; PNG
// files keep every pixel.
#include "recorder.h"

#include <cstdio>

using namespace kavet;
using namespace kavet::test;

namespace {

void fill(HWND hwnd, COLORREF colour) {
    HDC dc = GetDC(hwnd);
    RECT r;
    GetClientRect(hwnd, &r);
    HBRUSH b = CreateSolidBrush(colour);
    FillRect(dc, &r, b);
    DeleteObject(b);
    ReleaseDC(hwnd, dc);
}

} // namespace

TEST_F(WindowTest, CaptureComposesVisibleChildrenClippedToParents) {
    HWND parent = top(50, 50, 60, 40);
    HWND green = child(parent, 10, 10, 20, 20);
    HWND blue = child(green, 15, 15, 20, 20); // reaches past the green child's edges
    HWND hidden = child(parent, 40, 0, 10, 10, 0);
    driver::pump();
    fill(parent, RGB(255, 0, 0));
    fill(green, RGB(0, 255, 0));
    fill(blue, RGB(0, 0, 255));
    fill(hidden, RGB(255, 255, 255));
    driver::Image img = driver::capture(parent);
    ASSERT_EQ(img.width, 60);
    ASSERT_EQ(img.height, 40);
    struct Probe {
        int x, y;
        std::uint32_t rgb;
    } probes[] = {
        {0, 0, 0xFF0000},   {9, 10, 0xFF0000},  {10, 10, 0x00FF00}, {24, 24, 0x00FF00},
        {25, 25, 0x0000FF}, {29, 29, 0x0000FF}, {30, 29, 0xFF0000}, {29, 30, 0xFF0000},
        {40, 0, 0xFF0000},  {49, 9, 0xFF0000},  {59, 39, 0xFF0000},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(img.rgb(p.x, p.y), p.rgb) << p.x << "," << p.y;
    EXPECT_EQ(img.rgba[3], 255);
    // A child's own capture is its surface with its children.
    driver::Image g = driver::capture(green);
    EXPECT_EQ(g.width, 20);
    EXPECT_EQ(g.rgb(15, 15), 0x0000FFu);
    EXPECT_EQ(g.rgb(14, 15), 0x00FF00u);
    EXPECT_TRUE(driver::capture(nullptr).rgba.empty());
}

TEST_F(WindowTest, PngRoundTripKeepsEveryPixel) {
    driver::Image img;
    img.width = 7;
    img.height = 3;
    for (int i = 0; i < 7 * 3; ++i)
        for (int c = 0; c < 4; ++c)
            img.rgba.push_back(static_cast<std::uint8_t>(i * 11 + c * 60));
    std::string path = std::string(KAVET_TEST_OUTPUT_DIR) + "/roundtrip.png";
    ASSERT_TRUE(driver::writePng(img, path));
    auto back = driver::readPng(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->width, 7);
    EXPECT_EQ(back->height, 3);
    EXPECT_EQ(back->rgba, img.rgba);
    std::remove(path.c_str());
    EXPECT_FALSE(driver::writePng(driver::Image{}, path));
    img.rgba.pop_back();
    EXPECT_FALSE(driver::writePng(img, path)); // size does not match
    EXPECT_FALSE(driver::readPng(path + ".missing").has_value());
}

TEST_F(WindowTest, PumpStopsAtAWindowThatNeverValidates) {
    answers()[WM_PAINT] = 0; // handled without BeginPaint: the region stays
    HWND w = top(0, 0, 10, 10);
    EXPECT_EQ(driver::pump(), 1);
    answers().clear();
    EXPECT_EQ(driver::pump(), 1); // DefWindowProc validates this time
    EXPECT_EQ(driver::pump(), 0);
    (void)w;
}

TEST_F(WindowTest, DropOnAWindowWithoutTargetIsRefused) {
    HWND w = top(0, 0, 10, 10);
    EXPECT_FALSE(driver::dropFiles(w, {2, 3}, {"/tmp/a.wav"}));
    EXPECT_FALSE(driver::dropText(w, {2, 3}, "text"));
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 2); // the pointer moved there all the same
    EXPECT_EQ(p.y, 3);
}
