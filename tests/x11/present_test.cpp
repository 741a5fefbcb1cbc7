// Presenting in this process's own window layer: a window attached to a host's X window is
// sent whole the first time and then only where it changed or the server lost it, with shared
// memory and without, and the server holds exactly the window's pixels either way.
#include "x11_host.h"

#include <kavet/host_window.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <utility>

// After GoogleTest: Xlib's macros would break its names.
#include "x11/backend.h"

namespace kavet::x11test {
namespace {

constexpr int kWidth = 120, kHeight = 90;
constexpr COLORREF kGround = RGB(20, 40, 60), kMark = RGB(250, 128, 3);
RECT g_mark{}; // the marked area of the painted window, client coordinates

LRESULT CALLBACK paintProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT all{0, 0, kWidth, kHeight};
    HBRUSH ground = CreateSolidBrush(kGround), mark = CreateSolidBrush(kMark);
    FillRect(dc, &all, ground);
    FillRect(dc, &g_mark, mark);
    DeleteObject(ground);
    DeleteObject(mark);
    EndPaint(hwnd, &ps);
    return 0;
}

std::uint32_t rgbOf(COLORREF c) {
    return (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

// More exposures between two presents than the backend keeps apart: the window's columns x
// rows tiles lost one by one, as when another window is dragged across it.
constexpr std::pair<int, int> kStorms[] = {{1, 17}, {60, 1}, {8, 6}};

// The host's window with a child of this layer attached to it and painted.
struct Attached {
    Display* display = XOpenDisplay(nullptr);
    ::Window host = 0;
    HWND parent = nullptr, child = nullptr;

    explicit Attached(bool sharedMemory) {
        x11::Backend::instance().allowSharedMemory(sharedMemory);
        host = XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 10, 200, 200, 0, 0, 0);
        XMapWindow(display, host);
        XSync(display, False);
        parent = hostwindow::attach(
            this, reinterpret_cast<void*>(static_cast<std::uintptr_t>(host)), kWidth, kHeight);
        WNDCLASSA wc{};
        wc.lpfnWndProc = paintProc;
        wc.lpszClassName = "KavetPresentTest";
        RegisterClassA(&wc);
        child = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, kWidth,
                                kHeight, parent, nullptr, nullptr, nullptr);
    }
    ~Attached() {
        DestroyWindow(child);
        hostwindow::detach(this);
        UnregisterClassA("KavetPresentTest", nullptr);
        XDestroyWindow(display, host);
        XCloseDisplay(display);
        x11::Backend::instance().allowSharedMemory(true);
    }
    void idle() {
        hostwindow::pump();
        hostwindow::present();
        x11::Backend::instance().sync();
    }
    // Pixels of the window on the server other than the painted ones.
    int wrongPixels() const {
        const ::Window window = x11::Backend::instance().xWindow(parent);
        XImage* image = XGetImage(display, window, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
        if (!image) return kWidth * kHeight;
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const bool marked =
                    x >= g_mark.left && x < g_mark.right && y >= g_mark.top && y < g_mark.bottom;
                wrong += (XGetPixel(image, x, y) & 0xFFFFFF) != rgbOf(marked ? kMark : kGround);
            }
        XDestroyImage(image);
        return wrong;
    }
};

class Presenting : public ::testing::TestWithParam<bool> {};

TEST_P(Presenting, FirstFrameWholeThenOnlyWhatChangedOrWasLost) {
    g_mark = {0, 0, 0, 0};
    Attached a(GetParam());
    ASSERT_NE(a.parent, nullptr);
    a.idle();
    auto& backend = x11::Backend::instance();
    EXPECT_GE(backend.stats(a.parent).pixels, static_cast<std::uint64_t>(kWidth * kHeight));
    a.idle(); // the server's Expose of the mapped window, if it came late
    const x11::PresentStats first = backend.stats(a.parent);
    EXPECT_EQ(first.sharedMemory, GetParam());

    g_mark = {30, 20, 40, 26}; // 10 x 6 pixels
    InvalidateRect(a.child, &g_mark, FALSE);
    a.idle();
    const x11::PresentStats second = backend.stats(a.parent);
    // One band of 16 rows holds the change: at most 10 x 16 pixels go.
    EXPECT_GE(second.pixels - first.pixels, 60u);
    EXPECT_LE(second.pixels - first.pixels, 160u);

    a.idle(); // nothing changed: nothing goes
    EXPECT_EQ(backend.stats(a.parent).pixels, second.pixels);
    EXPECT_EQ(a.wrongPixels(), 0);

    // The server paints each lost tile in a colour of its own and sends an Expose of it.
    const ::Window window = backend.xWindow(a.parent);
    XSetWindowBackground(a.display, window, 0xFF00FF);
    for (const auto& [columns, rows] : kStorms) {
        SCOPED_TRACE(::testing::Message() << columns << " x " << rows);
        const int w = kWidth / columns, h = kHeight / rows;
        for (int i = 0; i < columns * rows; ++i)
            XClearArea(a.display, window, i % columns * w, i / columns * h, w, h, True);
        XSync(a.display, False);
        backend.sync(); // every Expose of the storm is on the backend's connection
        a.idle();
        EXPECT_EQ(a.wrongPixels(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(SharedMemoryOrNot, Presenting, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Shared" : "Plain"; });

} // namespace
} // namespace kavet::x11test
