// The cost of the editor's drawing: a full redraw of a 265 x 534 frame with a background
// bitmap and 16 bitmap controls, and an idle pass that repaints one dirty control.
#include "dib.h"

#include "toolkit/bitmap.h"
#include "toolkit/drawcontext.h"
#include "toolkit/frame.h"

#include <kavet/driver.h>
#include <windows.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace toolkit;

namespace {

constexpr int kWidth = 265, kHeight = 534;

// A bitmap made in memory (as the editor's own pixel bitmaps are), filled with a pattern.
class PatternBitmap : public CBitmap {
public:
    PatternBitmap(int w, int h) {
        handle = kavet::bench::createDib32(w, h, [](int x, int y) {
            return static_cast<std::uint32_t>((x * 7) ^ (y * 13)) & 0xFFFFFF;
        });
        width = w;
        height = h;
    }
};

// A control-like view: one blit of its frame from a strip, as the editor's controls do.
class StripView : public CView {
public:
    StripView(const CRectangle& rect, CBitmap* strip) : CView(rect), strip(strip) {}
    void draw(CDrawContext* context) override {
        strip->draw(context, size, CPosition(0, frameIndex * size.height()));
        setDirty(false);
    }
    CBitmap* strip;
    int frameIndex = 0;
};

LRESULT CALLBACK hostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The host window, the frame with its background and 4 x 4 controls, first paint done.
struct Editor {
    HWND host = nullptr;
    CFrame* frame = nullptr;
    std::vector<StripView*> controls;

    Editor() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = hostProc;
        wc.hInstance = reinterpret_cast<HINSTANCE>(0x6200);
        wc.lpszClassName = "KavetBenchHost";
        RegisterClassA(&wc);
        host = CreateWindowExA(0, "KavetBenchHost", "host", WS_POPUP | WS_VISIBLE, 0, 0, kWidth,
                               kHeight, nullptr, nullptr, wc.hInstance, nullptr);
        frame = new CFrame(CRectangle(0, 0, kWidth, kHeight), host, nullptr);
        auto* background = new PatternBitmap(kWidth, kHeight);
        auto* strip = new PatternBitmap(60, 120 * 8);
        frame->setBackground(background);
        background->forget();
        for (int i = 0; i < 16; ++i) {
            const int x = 5 + (i % 4) * 65, y = 5 + (i / 4) * 130;
            auto* view = new StripView(CRectangle(x, y, x + 60, y + 120), strip);
            frame->addView(view);
            view->forget();
            controls.push_back(view);
        }
        stripBitmap = strip;   // the controls borrow it; released with the editor
        kavet::driver::pump(); // the first paint
    }
    ~Editor() {
        frame->forget();
        stripBitmap->forget();
        DestroyWindow(host);
        kavet::driver::pump();
        UnregisterClassA("KavetBenchHost", reinterpret_cast<HINSTANCE>(0x6200));
    }
    CBitmap* stripBitmap = nullptr;
};

void BM_FullFrameRedraw(benchmark::State& state) {
    Editor editor;
    for (auto _ : state) {
        editor.frame->drawView(nullptr);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FullFrameRedraw)->Unit(benchmark::kMicrosecond);

// The same through the window: invalidate the whole frame window and let WM_PAINT run.
void BM_FullFramePaintMessage(benchmark::State& state) {
    Editor editor;
    for (auto _ : state) {
        InvalidateRect(editor.frame->getWindow(), nullptr, FALSE);
        UpdateWindow(editor.frame->getWindow());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FullFramePaintMessage)->Unit(benchmark::kMicrosecond);

void BM_IdlePassOneDirtyControl(benchmark::State& state) {
    Editor editor;
    StripView* control = editor.controls[5];
    int frameIndex = 0;
    for (auto _ : state) {
        control->frameIndex = (++frameIndex) & 7;
        control->setDirty(true);
        editor.frame->idle();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IdlePassOneDirtyControl)->Unit(benchmark::kMicrosecond);

void BM_IdlePassNothingDirty(benchmark::State& state) {
    Editor editor;
    for (auto _ : state) {
        editor.frame->idle();
    }
}
BENCHMARK(BM_IdlePassNothingDirty);

} // namespace
