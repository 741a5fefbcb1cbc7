// Views that paint one colour and record what reaches them, a host window that records
// the wheel turns handed on to it, and a fixture on the virtual clock.
#pragma once

#include "toolkit/bitmap.h"
#include "toolkit/drawcontext.h"
#include "toolkit/frame.h"
#include "toolkit/viewcontainer.h"

#include "canvas.h"
#include "host_window.h"
#include "input.h"

#include <kavet/driver.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kavet::test {

using toolkit::CColorRGBA;
using toolkit::CDrawContext;
using toolkit::CFrame;
using toolkit::CPosition;
using toolkit::CRectangle;
using toolkit::CView;
using toolkit::CViewContainer;

inline constexpr CColorRGBA rgb(std::uint32_t c) {
    return CColorRGBA{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                      static_cast<std::uint8_t>(c), 255};
}

// Paints exactly its own rectangle in one colour and records the calls it gets.
class ColorView : public CView {
public:
    ColorView(const CRectangle& rect, std::uint32_t colour) : CView(rect), colour(colour) {}

    void draw(CDrawContext* context) override {
        ++draws;
        context->setFillColor(rgb(colour));
        // fillRect leaves the top row and the left column out: start one pixel earlier.
        const int right = paintWidth < 0 ? size.right : size.left + paintWidth;
        context->fillRect(CRectangle(size.left - 1, size.top - 1, right, size.bottom));
        setDirty(false);
    }
    void mouse(CDrawContext*, CPosition& where, std::int32_t buttons) override {
        clicks.push_back(where);
        lastButtons = buttons;
    }
    bool onWheel(CDrawContext*, const CPosition& where, float distance) override {
        wheelPoints.push_back(where);
        wheelDistances.push_back(distance);
        return true;
    }
    bool onDropFiles(void** items, std::int32_t count, std::int32_t type,
                     CPosition& where) override {
        dropNames.clear();
        for (std::int32_t i = 0; type == 0 && i < count; ++i) {
            dropNames.emplace_back(static_cast<const char*>(items[i]));
        }
        dropPoint = where;
        ++drops;
        return true;
    }
    std::int32_t onKeyDown(VstKeyCode&) override {
        ++keys;
        return keyAnswer;
    }
    void loseFocus(CDrawContext*) override { ++focusLosses; }

    std::uint32_t colour;
    int paintWidth = -1; // paint only this many columns from the left (-1: all)
    int draws = 0;
    std::vector<CPosition> clicks;
    std::int32_t lastButtons = 0;
    std::vector<CPosition> wheelPoints;
    std::vector<float> wheelDistances;
    std::vector<std::string> dropNames;
    CPosition dropPoint;
    int drops = 0;
    int keys = 0;
    std::int32_t keyAnswer = -1;
    int focusLosses = 0;
};

// A view that notes when it is deleted.
class CountedView : public CView {
public:
    CountedView(const CRectangle& rect, int* deleted) : CView(rect), deleted(deleted) {}
    ~CountedView() override { ++*deleted; }
    int* deleted;
};

// A bitmap made in memory whose pixel (x, y) is patternAt(x, y).
class PatternBitmap : public toolkit::CBitmap {
public:
    PatternBitmap(int w, int h) {
        std::uint32_t* pixels = nullptr;
        handle = createDib32(w, h, &pixels);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pixels[y * w + x] = patternAt(x, y);
        width = w;
        height = h;
    }
    static std::uint32_t patternAt(int x, int y) {
        return static_cast<std::uint32_t>(x << 16 | y << 8 | ((x + y) & 0xFF));
    }
};

inline std::vector<UINT>& hostMessages() {
    static std::vector<UINT> m;
    return m;
}

inline LRESULT CALLBACK hostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    hostMessages().push_back(msg);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

inline HINSTANCE hostInstance() {
    return reinterpret_cast<HINSTANCE>(0x6100);
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetInput(1);
        hostWindow.emplace(100, 50, 400, 300, "KavetFrameHost", hostProc, hostInstance());
        host = hostWindow->handle();
        driver::pump();
        hostMessages().clear();
    }
    void TearDown() override {
        if (IsWindow(host)) DestroyWindow(host);
        driver::pump();
        hostWindow.reset();
        driver::resetInput();
        driver::useRealClock();
    }

    // Every pixel of `image` in `rect` equals `colour`.
    static ::testing::AssertionResult filled(const driver::Image& image, const CRectangle& rect,
                                             std::uint32_t colour) {
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                if (image.rgb(x, y) != colour) {
                    return ::testing::AssertionFailure()
                           << "pixel (" << x << "," << y << ") is " << std::hex << image.rgb(x, y)
                           << ", expected " << colour;
                }
        return ::testing::AssertionSuccess();
    }

    std::optional<HostWindow> hostWindow;
    HWND host = nullptr;
};

} // namespace kavet::test
