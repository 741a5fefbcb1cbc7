// The renderers of "kavet editor" (editor_picture.h): the effect and its editor of this
// build's configuration in a window of the headless backend, on the driver's virtual clock.
#include "editor_picture.h"

#include "arguments.h"
#include "demo_signal.h"
#include "param_values.h"
#include "strip_options.h"
#include "usage_error.h"

#include "core/plug.h"
#include "editor/pluged.h"

#include <kavet/driver.h>

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

namespace kavet::cli {

namespace {

using namespace kavet::driver;

constexpr int kBlock = 512;
constexpr double kIdlePeriodMs = 30.0; // a host's editor idle, about 33 times a second
constexpr const char* kHostClass = "KavetEditorPicture";

struct EditorJob {
    std::string png;
    std::string signal; // a file, "demo", or empty for none
    std::vector<std::pair<int, float>> settings;
    bool pre = false, fine = false, options = false;
};

EditorJob readJob(const std::vector<std::string>& args) {
    EditorJob job;
    std::vector<OptionSpec> options = stripSettingOptions(
        [&job](int index, float value) { job.settings.emplace_back(index, value); },
        kavet::kStereo);
    options.insert(options.end(),
                   {{"--png", true, [&](const std::string& v) { job.png = v; }},
                    {"--plugin", true, [](const std::string&) {}}, // chose this renderer
                    {"--pre", false, [&](const std::string&) { job.pre = true; }},
                    {"--fine", false, [&](const std::string&) { job.fine = true; }},
                    {"--options", false, [&](const std::string&) { job.options = true; }},
                    {"--signal", true, [&](const std::string& v) { job.signal = v; }}});
    const auto positional = parseArguments(args, options);
    if (!positional.empty())
        throw UsageError("editor: unexpected argument '" + positional[0] + "'");
    if (job.png.empty()) throw UsageError("editor: --png FILE is required");
    return job;
}

VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// The effect, its editor in a host window, and the driver's clock.
class PictureHost {
public:
    explicit PictureHost(float sampleRate) {
        useVirtualClock(1000);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kHostClass;
        RegisterClassA(&wc);
        window = CreateWindowExA(0, kHostClass, "Kavet", WS_POPUP | WS_VISIBLE, 0, 0,
                                 editor::kEditorWidth, editor::kEditorHeight, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        AudioEffect* created = kavet::createEffectInstance(quietHost);
        if (created == nullptr) throw host::HostError("editor: the effect cannot be created");
        effect = created->getAeffect();
        dispatch(effOpen);
        dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
        dispatch(effSetBlockSize, 0, kBlock);
    }
    ~PictureHost() {
        dispatch(effEditClose);
        dispatch(effClose);
        DestroyWindow(window);
        UnregisterClassA(kHostClass, GetModuleHandleA(nullptr));
    }
    PictureHost(const PictureHost&) = delete;
    PictureHost& operator=(const PictureHost&) = delete;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    void openEditor() {
        if (dispatch(effEditOpen, 0, 0, window) != 1)
            throw host::HostError("editor: the editor did not open");
        pump();
        auto* own = static_cast<AudioEffect*>(effect->object);
        frameWindow = static_cast<editor::PlugEd*>(own->getEditor())->getFrame()->getWindow();
    }
    // A click as the user makes it (the switches send their edit gestures to the host).
    void click(int x, int y) {
        Script().moveTo(frameWindow, x, y).press().wait(30).release().start();
        runScript();
        pump();
    }
    void idle() {
        dispatch(effEditIdle);
        pump();
    }
    // Runs the signal block by block, moving the clock on by each block's duration and
    // idling the editor whenever a host would.
    void play(const Signal& signal) {
        const int channels = effect->numInputs;
        std::vector<std::vector<float>> in(channels, std::vector<float>(kBlock));
        std::vector<std::vector<float>> out(channels, std::vector<float>(kBlock));
        std::vector<float*> inputs, outputs;
        for (int c = 0; c < channels; ++c) {
            inputs.push_back(in[c].data());
            outputs.push_back(out[c].data());
        }
        const std::size_t frames = signal.frames();
        double sinceIdleMs = 0.0;
        double clockMs = 0.0;
        for (std::size_t start = 0; start < frames; start += kBlock) {
            const int n = static_cast<int>(std::min<std::size_t>(kBlock, frames - start));
            for (int c = 0; c < channels; ++c) {
                const int source = std::min(c, signal.channels - 1);
                for (int i = 0; i < n; ++i)
                    in[c][i] = signal.samples[(start + i) * signal.channels + source];
            }
            effect->processReplacing(effect, inputs.data(), outputs.data(), n);
            const double blockMs = 1000.0 * n / signal.rate;
            clockMs += blockMs;
            sinceIdleMs += blockMs;
            const DWORD whole = static_cast<DWORD>(clockMs);
            if (whole > 0) {
                advance(whole);
                clockMs -= whole;
            }
            if (sinceIdleMs >= kIdlePeriodMs) {
                idle();
                sinceIdleMs = 0.0;
            }
        }
    }
    void setParameter(int index, float value) { effect->setParameter(effect, index, value); }
    Image picture() const { return capture(window); }
    HWND frame() const { return frameWindow; }

private:
    HWND window = nullptr;
    HWND frameWindow = nullptr;
    AEffect* effect = nullptr;
};

void render(const EditorJob& job) {
    const std::optional<Signal> signal = loadSignal(job.signal);
    PictureHost strip(static_cast<float>(signal ? signal->rate : kDemoSampleRate));
    for (auto [index, value] : job.settings)
        strip.setParameter(index, value);
    strip.dispatch(effMainsChanged, 0, 1);
    strip.openEditor();
    if (job.pre) strip.click(58 + 19, 448 + 10);
    if (job.fine) strip.click(179 + 18, 408 + 9);
    if (job.options) strip.click(7 + 20, 71 + 26);
    moveTo(strip.frame(), editor::kEditorWidth - 10, editor::kEditorHeight - 10); // off the logo
    if (signal) strip.play(*signal);
    advance(static_cast<DWORD>(kIdlePeriodMs));
    strip.idle();
    if (!writePng(strip.picture(), job.png))
        throw host::HostError("editor: cannot write " + job.png);
    std::printf("editor: %s editor, %d x %d pixels, written to %s\n",
                kavet::kStereo ? "stereo" : "mono", editor::kEditorWidth, editor::kEditorHeight,
                job.png.c_str());
}

} // namespace

int renderEditorPicture(const std::vector<std::string>& args) {
    try {
        render(readJob(args));
        return 0;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "kavet: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kavet: %s\n", e.what());
        return 1;
    }
}

} // namespace kavet::cli
