// The drawing layer's per-call costs: an opaque control-sized blit (a memory DC per call),
// the three transparency paths, the editor-sized offscreen with its copy, and setClipRect
// with and without a change.
#include "dib.h"

#include "toolkit/bitmap.h"
#include "toolkit/drawcontext.h"
#include "toolkit/drawglobals.h"
#include "toolkit/offscreencontext.h"

#include <benchmark/benchmark.h>

#include <cstdint>

using namespace toolkit;

namespace {

// A 40 x 40 bitmap with a white (key) border, the rest grey.
class GreyBitmap : public CBitmap {
public:
    GreyBitmap() {
        handle = kavet::bench::createDib32(40, 40, [](int x, int y) -> std::uint32_t {
            return x < 4 || y < 4 || x >= 36 || y >= 36 ? 0xFFFFFF : 0x808080;
        });
        width = height = 40;
    }
};

enum Path { Opaque, Mask, MsImg, MonoKey };

void BM_BitmapDraw40x40(benchmark::State& state) {
    const auto path = static_cast<Path>(state.range(0));
    COffscreenContext target(nullptr, 265, 534);
    GreyBitmap bitmap;
    HMODULE msimg32 = LoadLibraryA("msimg32.dll");
    gTransparentBlt =
        path == MsImg ? reinterpret_cast<TransparentBltProc>(
                            reinterpret_cast<void (*)()>(GetProcAddress(msimg32, "TransparentBlt")))
                      : nullptr;
    if (path == Mask) bitmap.setMaskHandle(CreateBitmap(40, 40, 1, 1, nullptr));
    const CRectangle rect(100, 200, 140, 240);
    for (auto _ : state) {
        if (path == Opaque)
            bitmap.draw(&target, rect);
        else
            bitmap.drawTransparent(&target, rect);
        benchmark::ClobberMemory();
    }
    gTransparentBlt = nullptr;
    FreeLibrary(msimg32);
}
BENCHMARK(BM_BitmapDraw40x40)->ArgName("path")->Arg(Opaque)->Arg(Mask)->Arg(MsImg)->Arg(MonoKey);

void BM_EditorOffscreenCreateAndCopy(benchmark::State& state) {
    COffscreenContext screen(nullptr, 265, 534);
    for (auto _ : state) {
        COffscreenContext offscreen(nullptr, 265, 534, kBlackCColor);
        offscreen.copyFrom(&screen, CRectangle(0, 0, 265, 534));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EditorOffscreenCreateAndCopy);

void BM_SetClipRect(benchmark::State& state) {
    COffscreenContext target(nullptr, 265, 534);
    const bool changing = state.range(0) != 0;
    const CRectangle a(10, 10, 50, 50), b(12, 10, 50, 50);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        target.setClipRect(changing && flip ? b : a);
    }
}
BENCHMARK(BM_SetClipRect)->ArgName("changing")->Arg(0)->Arg(1);

} // namespace
