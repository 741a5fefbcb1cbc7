// Cost of showing the stereo editor in an X11 host window, on the user-interface thread:
// a full present of the 265 x 534 window (through MIT-SHM and through plain requests, the
// server's work included), and one editor idle while the meters move (X events in, the
// editor's idle, the changed rectangles out; the server draws them afterwards, on its own). Needs
// an X display (tests/x11/with-xvfb.sh).
#include "meter_signal.h"

#include "core/plug.h"

#include "x11/backend.h"

#include <kavet/host_window.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" AEffect* VSTPluginMain(audioMasterCallback host);

namespace {

VstIntPtr VSTCALLBACK benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

// A host's top-level X window with the effect's editor open in it.
struct HostWindow {
    Display* display = nullptr;
    ::Window window = 0;
    AEffect* effect = nullptr;
    bool open = false;

    explicit HostWindow(bool sharedMemory) {
        kavet::x11::Backend::instance().allowSharedMemory(sharedMemory);
        display = XOpenDisplay(nullptr);
        if (!display) return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 300, 600, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
        effect = VSTPluginMain(benchHost);
        dispatch(effOpen);
        dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
        dispatch(effMainsChanged, 0, 1);
        open = dispatch(effEditOpen, 0, 0,
                        reinterpret_cast<void*>(static_cast<std::uintptr_t>(window))) == 1;
        dispatch(effEditIdle);
    }
    ~HostWindow() {
        if (effect) {
            dispatch(effEditClose);
            dispatch(effClose);
        }
        if (display) {
            XDestroyWindow(display, window);
            XCloseDisplay(display);
        }
        kavet::x11::Backend::instance().allowSharedMemory(true);
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
};

using kavet::bench::processBlock;

void BM_PresentFull(benchmark::State& state) {
    HostWindow host(state.range(0) != 0);
    if (!host.open) {
        state.SkipWithError("no X display, or the editor did not open");
        return;
    }
    auto& backend = kavet::x11::Backend::instance();
    const HWND proxy = backend.proxyOf(host.window);
    for (auto _ : state) {
        backend.resendAll(proxy);
        backend.present();
        backend.sync();
    }
    const kavet::x11::PresentStats stats = backend.stats(proxy);
    state.SetLabel(stats.sharedMemory ? "MIT-SHM" : "plain requests");
}
BENCHMARK(BM_PresentFull)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_IdleWithMovingMeters(benchmark::State& state) {
    HostWindow host(true);
    if (!host.open) {
        state.SkipWithError("no X display, or the editor did not open");
        return;
    }
    auto& backend = kavet::x11::Backend::instance();
    const HWND proxy = backend.proxyOf(host.window);
    const kavet::x11::PresentStats before = backend.stats(proxy);
    int step = 0;
    for (auto _ : state) {
        processBlock(host.effect, step++); // audio between idles, not timed
        backend.sync();                    // the server done with the last frame, as 33 ms after it
        const auto start = std::chrono::steady_clock::now();
        host.dispatch(effEditIdle);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    const kavet::x11::PresentStats after = backend.stats(proxy);
    const double frames = static_cast<double>(after.frames - before.frames);
    state.counters["pixels/frame"] =
        frames > 0 ? static_cast<double>(after.pixels - before.pixels) / frames : 0.0;
    state.counters["rects/frame"] =
        frames > 0 ? static_cast<double>(after.rectangles - before.rectangles) / frames : 0.0;
}
BENCHMARK(BM_IdleWithMovingMeters)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
