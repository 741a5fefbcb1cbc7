#include "editor_window.h"

#include "audio_loop.h"
#include "demo_signal.h"
#include "hosts/common/vst_module.h"
#include "hosts/common/vst_plugin.h"
#include "strip_options.h"
#include "usage_error.h"
#include "x_library.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace kavet::cli {

namespace {

constexpr int kBlock = 512;                                 // frames per processing call
constexpr auto kIdlePeriod = std::chrono::milliseconds(20); // 50 editor idles a second

struct WindowJob {
    std::vector<std::pair<int, float>> settings; // parameter index, normalised value
    std::string signal;
};

WindowJob readJob(const std::vector<std::string>& args, bool hasPan) {
    WindowJob job;
    std::vector<OptionSpec> options = stripSettingOptions(
        [&job](int index, float value) { job.settings.emplace_back(index, value); }, hasPan);
    options.insert(options.end(),
                   {{"--window", false, [](const std::string&) {}},
                    {"--plugin", true, [](const std::string&) {}}, // chose the module
                    {"--signal", true, [&job](const std::string& v) { job.signal = v; }}});
    // What the picture sets by clicking, the user sets in the window.
    for (const char* name : {"--pre", "--fine", "--options"})
        options.push_back({name, false, [name](const std::string&) {
                               throw UsageError(std::string("editor --window: ") + name +
                                                " is for --png (click it in the window)");
                           }});
    const auto positional = parseArguments(args, options);
    if (!positional.empty())
        throw UsageError("editor: unexpected argument '" + positional[0] + "'");
    return job;
}

// The host's top-level window, on a connection of the host's own (the module opens another
// for its editor). [UI thread]
class TopLevel {
public:
    // Connects to the user's display. Throws HostError when there is none.
    TopLevel() {
        const char* name = std::getenv("DISPLAY");
        if (name == nullptr || *name == '\0')
            throw host::HostError("editor --window: no X display (DISPLAY is not set)");
        try {
            x_ = &xLibrary();
        } catch (const host::HostError& e) {
            throw host::HostError(std::string("editor --window: no X display (") + e.what() + ")");
        }
        display_ = x_->XOpenDisplay(nullptr);
        if (display_ == nullptr)
            throw host::HostError(std::string("editor --window: cannot open the X display '") +
                                  name + "'");
    }
    ~TopLevel() {
        if (window_ != 0 && !destroyed_) x_->XDestroyWindow(display_, window_);
        x_->XCloseDisplay(display_);
    }
    TopLevel(const TopLevel&) = delete;
    TopLevel& operator=(const TopLevel&) = delete;

    // Creates and shows the window: `width` x `height` pixels, fixed, named `title`, and
    // closed by the window manager through WM_DELETE_WINDOW rather than by killing us.
    void show(int width, int height, const std::string& title) {
        const int screen = x_->XDefaultScreen(display_);
        window_ = x_->XCreateSimpleWindow(
            display_, x_->XRootWindow(display_, screen), 0, 0, static_cast<unsigned>(width),
            static_cast<unsigned>(height), 0, x_->XBlackPixel(display_, screen),
            x_->XBlackPixel(display_, screen));
        x_->XStoreName(display_, window_, title.c_str());
        XSizeHints hints{};
        hints.flags = PMinSize | PMaxSize;
        hints.min_width = hints.max_width = width;
        hints.min_height = hints.max_height = height;
        x_->XSetWMNormalHints(display_, window_, &hints);
        protocols_ = x_->XInternAtom(display_, "WM_PROTOCOLS", False);
        deleteWindow_ = x_->XInternAtom(display_, "WM_DELETE_WINDOW", False);
        x_->XSetWMProtocols(display_, window_, &deleteWindow_, 1);
        x_->XSelectInput(display_, window_, StructureNotifyMask);
        x_->XMapWindow(display_, window_);
        x_->XFlush(display_);
    }

    // The window id as effEditOpen takes it: an integer in a pointer.
    void* parent() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_)); }

    // Handles the window's pending events; false once the user closed the window or some
    // client destroyed it.
    bool handleEvents() {
        bool open = true;
        while (x_->XPending(display_) > 0) {
            XEvent event;
            x_->XNextEvent(display_, &event);
            if (event.type == ClientMessage && event.xclient.window == window_ &&
                event.xclient.message_type == protocols_ &&
                static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_)
                open = false;
            if (event.type == DestroyNotify && event.xdestroywindow.window == window_) {
                destroyed_ = true;
                open = false;
            }
        }
        return open;
    }

private:
    const XLibrary* x_ = nullptr;
    Display* display_ = nullptr;
    ::Window window_ = 0;
    Atom protocols_ = 0, deleteWindow_ = 0;
    bool destroyed_ = false; // gone from the server: no more requests about it
};

// The parameter changes the effect reports, noted on whichever thread reports them (within
// the effect's own call), for the UI thread to print between idles. Several changes of one
// parameter between two prints make one line, with the value they left.
class ChangeLog final : public host::ParameterListener {
public:
    void parameterChanged(int index, float) override {
        std::lock_guard g(lock_);
        if (std::find(changed_.begin(), changed_.end(), index) == changed_.end())
            changed_.push_back(index);
    }
    // The parameters changed since the last call, in the order of their first change.
    std::vector<int> take() {
        std::lock_guard g(lock_);
        return std::exchange(changed_, {});
    }

private:
    std::mutex lock_;
    std::vector<int> changed_;
};

// Without the blanks around it: plug-ins pad their texts to line up in a host's columns.
std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "Gain: -6.02 dB": the effect's own name, display and label of the parameter.
void printChange(host::VstPlugin& effect, int index) {
    if (index < 0 || index >= effect.numParams()) return;
    std::string line =
        trimmed(effect.parameterName(index)) + ": " + trimmed(effect.parameterDisplay(index));
    const std::string label = trimmed(effect.parameterLabel(index));
    if (!label.empty()) line += " " + label;
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string describe(const std::string& source) {
    if (source.empty()) return "silence";
    return source == "demo" ? "the demo signal" : source;
}

} // namespace

void runEditorWindow(const std::vector<std::string>& args, const std::string& plugin, bool hasPan) {
    const WindowJob job = readJob(args, hasPan);
    std::optional<Signal> signal = loadSignal(job.signal);
    const int rate = signal ? signal->rate : kDemoSampleRate;
    TopLevel window; // before the module: without a display it need not be loaded

    // Declared before the effect, so that it outlives every call of the effect's.
    ChangeLog changes;
    host::VstPlugin effect(std::make_shared<const host::VstModule>(plugin));
    if (!effect.hasFlag(effFlagsHasEditor))
        throw host::HostError("editor --window: " + plugin + " has no editor");
    effect.setSampleRate(static_cast<float>(rate));
    effect.setBlockSize(kBlock);
    for (const auto& [index, value] : job.settings)
        effect.setParameter(index, value);
    effect.resume();

    ERect* rect = nullptr;
    if (effect.dispatch(effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr ||
        rect->right <= rect->left || rect->bottom <= rect->top)
        throw host::HostError("editor --window: the editor gives no size");
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    const std::string product = effect.productString();
    window.show(width, height, product);
    effect.setParameterListener(&changes);
    if (effect.dispatch(effEditOpen, 0, 0, window.parent()) != 1)
        throw host::HostError("editor --window: the editor did not open");

    AudioLoop audio(effect, std::move(signal), rate, kBlock);
    std::printf("editor: %s, %d x %d pixels, playing %s; close the window to end\n",
                product.c_str(), width, height, describe(job.signal).c_str());
    std::fflush(stdout);

    // The UI thread: the window's events, the editor's idle, then what the editor changed
    // (printed here, not in the callback: the effect is not to be called from within its
    // own call).
    auto due = std::chrono::steady_clock::now();
    while (window.handleEvents()) {
        effect.dispatch(effEditIdle);
        for (int index : changes.take())
            printChange(effect, index);
        due += kIdlePeriod;
        const auto now = std::chrono::steady_clock::now();
        if (now > due) due = now; // late: idle again at once, without making up for the rest
        std::this_thread::sleep_until(due);
    }

    effect.dispatch(effEditClose);
    for (int index : changes.take())
        printChange(effect, index);
    audio.stop();
    effect.setParameterListener(nullptr);
    effect.suspend();
    // The effect closes as it goes out of scope, then the window.
}

} // namespace kavet::cli
