// The editor's full-window copy: BitBlt SRCCOPY of 265 x 534 pixels from an offscreen bitmap
// to the window's surface, and the keyed and inverting blits for comparison.
#include "dib.h"
#include "gdi/surface.h"

#include <benchmark/benchmark.h>
#include <windows.h>

namespace {

constexpr int width = 265, height = 534;

struct Scene {
    kavet::platform::Surface window;
    HDC windowDc = nullptr;
    HDC memory = nullptr;
    HBITMAP section = nullptr;
    HGDIOBJ previous = nullptr;

    explicit Scene(bool bottomUp) {
        window.resize(width, height);
        windowDc = kavet::platform::createSurfaceDC(window, POINT{0, 0}, RECT{0, 0, width, height});
        section = kavet::bench::createDib32(
            width, height,
            [w = width](int x, int y) {
                return static_cast<std::uint32_t>((y * w + x) * 2654435761u) & 0xFFFFFF;
            },
            bottomUp);
        memory = CreateCompatibleDC(windowDc);
        previous = SelectObject(memory, section);
    }
    ~Scene() {
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(section);
        kavet::platform::releaseSurfaceDC(windowDc);
    }
};

void blit(benchmark::State& state, bool bottomUp, DWORD rop) {
    Scene scene(bottomUp);
    for (auto _ : state) {
        BitBlt(scene.windowDc, 0, 0, width, height, scene.memory, 0, 0, rop);
        benchmark::DoNotOptimize(scene.window.pixels[width * height / 2]);
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

void BM_BitBltSrcCopy265x534(benchmark::State& state) {
    blit(state, false, SRCCOPY);
}
void BM_BitBltSrcCopy265x534BottomUp(benchmark::State& state) {
    blit(state, true, SRCCOPY);
}
void BM_BitBltSrcInvert265x534(benchmark::State& state) {
    blit(state, false, SRCINVERT);
}

void BM_TransparentBlt265x534(benchmark::State& state) {
    Scene scene(false);
    for (auto _ : state) {
        TransparentBlt(scene.windowDc, 0, 0, width, height, scene.memory, 0, 0, width, height,
                       RGB(255, 255, 255));
        benchmark::DoNotOptimize(scene.window.pixels[width * height / 2]);
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

BENCHMARK(BM_BitBltSrcCopy265x534)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BitBltSrcCopy265x534BottomUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BitBltSrcInvert265x534)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TransparentBlt265x534)->Unit(benchmark::kMicrosecond);

} // namespace
