#include "editor_capture.h"

#include "bmp_file.h"
#include "editor_target.h"
#include "plugin_module.h"

#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kHostClass = "KavetWintestEditorHost";
constexpr float kSampleRate = 44100.0f;
// The window has painted when no message has come for this long; a step that still has
// messages after the limit is reported.
constexpr DWORD kQuietMs = 150;
constexpr DWORD kPumpLimitMs = 10000;

struct Step {
    enum Kind { Set, Mains, Process, Idle, Click } kind = Idle;
    int index = 0; // Set: the parameter; Mains: 0 or 1; Click: x
    float value = 0.0f;
    int frames = 0; // Process: the frames; Click: y
};

// The number in `text`, which `end` must follow (the terminating zero for the end of the
// text); false when there is none or something else follows.
bool readFloat(const char* text, char end, float& value) {
    char* stop = nullptr;
    value = std::strtof(text, &stop);
    return stop != text && *stop == end;
}

bool readInt(const char* text, char end, int& value, const char** next = nullptr) {
    char* stop = nullptr;
    const long v = std::strtol(text, &stop, 10);
    if (stop == text || *stop != end || v < 0 || v > 1 << 24) return false;
    value = static_cast<int>(v);
    if (next) *next = stop + 1;
    return true;
}

bool parseStep(const char* text, Step& step) {
    const char* rest = nullptr;
    if (std::strcmp(text, "idle") == 0) {
        step.kind = Step::Idle;
        return true;
    }
    if (std::strncmp(text, "set:", 4) == 0) {
        step.kind = Step::Set;
        return readInt(text + 4, '=', step.index, &rest) && readFloat(rest, '\0', step.value);
    }
    if (std::strncmp(text, "mains:", 6) == 0) {
        step.kind = Step::Mains;
        return readInt(text + 6, '\0', step.index) && step.index <= 1;
    }
    if (std::strncmp(text, "process:", 8) == 0) {
        step.kind = Step::Process;
        const char* comma = std::strchr(text + 8, ',');
        return comma && readFloat(text + 8, ',', step.value) &&
               readInt(comma + 1, '\0', step.frames) && step.frames > 0;
    }
    if (std::strncmp(text, "click:", 6) == 0) {
        step.kind = Step::Click;
        return readInt(text + 6, ',', step.index, &rest) && readInt(rest, '\0', step.frames);
    }
    return false;
}

void deliver(MSG& message) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

// One message of the thread's queue, timer messages left queued unless `timers`.
bool takeMessage(MSG& message, bool timers) {
    if (timers) return PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
    return PeekMessageA(&message, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           PeekMessageA(&message, nullptr, WM_TIMER + 1, 0xFFFF, PM_REMOVE);
}

} // namespace

bool pumpUntilQuiet(bool timers) {
    const DWORD start = GetTickCount();
    DWORD last = start;
    for (;;) {
        MSG message;
        while (takeMessage(message, timers)) {
            deliver(message);
            last = GetTickCount();
        }
        const DWORD now = GetTickCount();
        if (now - last >= kQuietMs) return true;
        if (now - start >= kPumpLimitMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool dispatchOneTimer() {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kPumpLimitMs;) {
        MSG message;
        while (takeMessage(message, false))
            deliver(message);
        if (PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            deliver(message);
            return true;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}

namespace {

int lostClicks = 0;

// The pointer off the window, where it cannot light the logo.
void movePointerOff() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

void sendLeftButton(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// A press and release of the left button at (x, y) of the window's client area, as the user
// makes it: the release comes once the press has been dispatched (the controls read the
// buttons' state when they get the press). The pointer then goes back off the window.
bool click(HWND window, int x, int y) {
    POINT at{x, y};
    ClientToScreen(window, &at);
    SetCursorPos(at.x, at.y);
    bool done = pumpUntilQuiet();
    sendLeftButton(MOUSEEVENTF_LEFTDOWN);
    bool pressed = false;
    for (const DWORD start = GetTickCount(); !pressed && GetTickCount() - start < kPumpLimitMs;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            pressed = pressed || message.message == WM_LBUTTONDOWN;
        }
        if (!pressed) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    sendLeftButton(MOUSEEVENTF_LEFTUP);
    done = pumpUntilQuiet() && done;
    movePointerOff();
    done = pumpUntilQuiet() && done;
    if (!pressed) {
        std::printf("FAIL  editor: the press at (%d, %d) never arrived\n", x, y);
        ++lostClicks;
    }
    return pressed && done;
}

// The VST 2.4 effect: every call through its record.
class Vst2Target final : public EditorTarget {
public:
    explicit Vst2Target(const char* path) : module_(path), effect_(module_.entry()) {
        if (!effect_) return;
        dispatch(effect_.get(), effSetSampleRate, 0, 0, nullptr, kSampleRate);
        dispatch(effect_.get(), effMainsChanged, 0, 1);
    }
    ~Vst2Target() override { close(); }

    bool size(int& width, int& height) override {
        ERect* rect = nullptr;
        if (!effect_ || dispatch(effect_.get(), effEditGetRect, 0, 0, &rect) != 1 || !rect)
            return false;
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
        return true;
    }
    bool open(HWND window) override {
        open_ = dispatch(effect_.get(), effEditOpen, 0, 0, window) == 1;
        return open_;
    }
    void close() override {
        if (open_) dispatch(effect_.get(), effEditClose);
        open_ = false;
    }
    void set(int index, float value) override {
        effect_->setParameter(effect_.get(), index, value);
    }
    void mains(bool on) override { dispatch(effect_.get(), effMainsChanged, 0, on ? 1 : 0); }
    void process(float level, int frames) override {
        AEffect* e = effect_.get();
        std::vector<std::vector<float>> in(e->numInputs, std::vector<float>(frames, level));
        std::vector<std::vector<float>> out(e->numOutputs, std::vector<float>(frames));
        std::vector<float*> inputs, outputs;
        for (auto& channel : in)
            inputs.push_back(channel.data());
        for (auto& channel : out)
            outputs.push_back(channel.data());
        e->processReplacing(e, inputs.data(), outputs.data(), frames);
    }
    bool idle() override {
        dispatch(effect_.get(), effEditIdle);
        return pumpUntilQuiet();
    }
    bool timersAnyTime() const override { return true; }

private:
    PluginModule module_;
    EffectInstance effect_;
    bool open_ = false;
};

bool runStep(EditorTarget& target, HWND window, const Step& step) {
    switch (step.kind) {
    case Step::Set:
        target.set(step.index, step.value);
        return true;
    case Step::Mains:
        target.mains(step.index != 0);
        return true;
    case Step::Process:
        target.process(step.value, step.frames);
        return true;
    case Step::Idle:
        return target.idle();
    case Step::Click:
        return click(window, step.index, step.frames);
    }
    return false;
}

// The client area of `window` as the screen shows it: BitBlt from the window's DC into a
// top-down 32-bit DIB section.
std::vector<std::uint32_t> readBack(HWND window, int width, int height) {
    std::vector<std::uint32_t> pixels;
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section && bits) {
        HGDIOBJ previous = SelectObject(memory, section);
        if (BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY)) {
            GdiFlush();
            const auto* first = static_cast<const std::uint32_t*>(bits);
            pixels.assign(first, first + static_cast<long>(width) * height);
        }
        SelectObject(memory, previous);
        DeleteObject(section);
    }
    DeleteDC(memory);
    ReleaseDC(window, source);
    return pixels;
}

__attribute__((format(printf, 1, 2))) int fail(const char* fmt, ...) {
    std::printf("FAIL  editor: ");
    va_list args;
    va_start(args, fmt);
    std::vprintf(fmt, args);
    va_end(args);
    std::printf("\n");
    return 1;
}

// The effect's editor on a top-level window of the editor's size.
int capture(const char* output, const std::vector<Step>& steps, EditorTarget& target,
            const char* modulePath) {
    int width = 0, height = 0;
    if (!target.size(width, height))
        return fail("%s: no effect, or its editor has no size", modulePath);
    const bool timers = target.timersAnyTime();

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, kHostClass, "Kavet editor", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                  height, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window)
        return fail("CreateWindowExA made no window (error %lu)",
                    static_cast<unsigned long>(GetLastError()));
    movePointerOff();
    pumpUntilQuiet(timers);

    int status = 0;
    if (!target.open(window)) {
        status = fail("%s: the editor did not open", modulePath);
    } else {
        bool quiet = pumpUntilQuiet(timers);
        for (const Step& step : steps)
            quiet = runStep(target, window, step) && quiet;
        quiet = pumpUntilQuiet(timers) && quiet;
        if (!quiet) std::printf("note  editor: the window's messages never stopped\n");

        RECT client{};
        GetClientRect(window, &client);
        const std::vector<std::uint32_t> pixels = readBack(window, width, height);
        if (client.right != width || client.bottom != height)
            status = fail("the window's client area is %ld x %ld, not the editor's %d x %d",
                          client.right, client.bottom, width, height);
        else if (pixels.empty())
            status = fail("BitBlt from the window's DC failed (error %lu)",
                          static_cast<unsigned long>(GetLastError()));
        else if (!writeBmp24(output, pixels.data(), width, height))
            status = fail("cannot write %s", output);
        else
            std::printf("editor: %d x %d pixels read back from the window, written to %s\n", width,
                        height, output);
        if (lostClicks > 0) status = 1; // the picture is not of the steps asked for
        target.close();
        pumpUntilQuiet(timers);
    }
    DestroyWindow(window);
    UnregisterClassA(kHostClass, GetModuleHandleA(nullptr));
    return status;
}

} // namespace

std::unique_ptr<EditorTarget> makeVst2Target(const char* modulePath) {
    return std::make_unique<Vst2Target>(modulePath);
}

int runEditorCapture(int argc, char** argv) {
    const bool vst3 = argc > 0 && std::strcmp(argv[0], "--vst3") == 0;
    const bool clap = argc > 0 && std::strcmp(argv[0], "--clap") == 0;
    const bool stereo = (vst3 || clap) && argc > 1 && std::strcmp(argv[1], "--stereo") == 0;
    const int options = (vst3 || clap ? 1 : 0) + (stereo ? 1 : 0);
    argc -= options;
    argv += options;
    if (argc < 2) {
        std::fprintf(stderr, "usage: kavet-wintest --editor [--vst3|--clap [--stereo]] OUT.bmp "
                             "[STEP...] MODULE\n");
        return 2;
    }
    std::vector<Step> steps;
    for (int i = 1; i + 1 < argc; ++i) {
        Step step;
        if (!parseStep(argv[i], step)) {
            std::fprintf(stderr, "kavet-wintest: unknown editor step '%s'\n", argv[i]);
            return 2;
        }
        steps.push_back(step);
    }
    const char* module = argv[argc - 1];
    const std::unique_ptr<EditorTarget> target = vst3   ? makeVst3Target(module, stereo)
                                                 : clap ? makeClapTarget(module, stereo)
                                                        : makeVst2Target(module);
    if (!target) return fail("cannot load %s", module);
    return capture(argv[0], steps, *target, module);
}
