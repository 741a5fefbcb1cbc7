// Cost of the stereo editor on the UI thread: one idle while the meters move (snapshot,
// maxima, readouts, fader levels and holds, the redraw of what changed), and a full repaint
// of the 265 x 534 window. Headless backend, real clock.
#include "meter_signal.h"

#include "core/plug.h"
#include "editor/pluged.h"
#include "toolkit/frame.h"

#include <kavet/driver.h>

#include <benchmark/benchmark.h>

#include <windows.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

VstIntPtr VSTCALLBACK benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

// One effect with its editor open in a host window.
struct OpenEditor {
    HWND host = nullptr;
    AEffect* effect = nullptr;

    OpenEditor() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KavetBenchHost";
        RegisterClassA(&wc);
        host = CreateWindowExA(0, wc.lpszClassName, "Host", WS_POPUP | WS_VISIBLE, 0, 0, 265, 534,
                               nullptr, nullptr, wc.hInstance, nullptr);
        effect = kavet::createEffectInstance(benchHost)->getAeffect();
        dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
        dispatch(effMainsChanged, 0, 1);
        dispatch(effEditOpen, 0, 0, host);
        kavet::driver::pump(); // first paint
    }
    ~OpenEditor() {
        dispatch(effEditClose);
        dispatch(effClose);
        DestroyWindow(host);
        UnregisterClassA("KavetBenchHost", GetModuleHandleA(nullptr));
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    HWND frameWindow() const {
        auto* plug = static_cast<kavet::Plug*>(static_cast<AudioEffect*>(effect->object));
        auto* editor = static_cast<kavet::editor::PlugEd*>(plug->getEditor());
        return editor->getFrame()->getWindow();
    }
};

using kavet::bench::processBlock;

void BM_IdleWithMovingMeters(benchmark::State& state) {
    OpenEditor editor;
    int step = 0;
    for (auto _ : state) {
        processBlock(editor.effect, step++); // audio between idles, not timed
        auto start = std::chrono::steady_clock::now();
        editor.dispatch(effEditIdle);
        kavet::driver::pump();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_IdleWithMovingMeters)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_FullRepaint(benchmark::State& state) {
    OpenEditor editor;
    HWND frame = editor.frameWindow();
    for (auto _ : state) {
        InvalidateRect(frame, nullptr, FALSE);
        UpdateWindow(frame);
    }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

} // namespace
