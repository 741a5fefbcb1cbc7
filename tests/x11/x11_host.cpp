#include "x11_host.h"

#include "editor/layout.h"

#include <X11/Xlib.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <chrono>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

namespace kavet::x11test {
namespace {

constexpr int kIdleMs = 20;
constexpr int kEditorWidth = layout::kEditorWidth, kEditorHeight = layout::kEditorHeight;

std::mutex g_hostsLock;
std::map<AEffect*, X11Host*> g_hosts;
X11Host* g_creating = nullptr; // the host whose entry call is under way

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

X11Host::X11Host(Options options) : options_(std::move(options)) {
    // The person's thread has a connection of its own: Xlib must know about threads first.
    static const bool threads = XInitThreads() != 0;
    (void)threads;
    display_ = XOpenDisplay(nullptr);
    if (!display_) throw std::runtime_error("no X display (DISPLAY unset?)");
    const int screen = DefaultScreen(display_);
    XSetWindowAttributes a{};
    a.background_pixel = 0x202020;
    a.event_mask = StructureNotifyMask | SubstructureNotifyMask;
    a.override_redirect = False;
    window_ =
        XCreateWindow(display_, RootWindow(display_, screen), options_.x, options_.y, 400, 600, 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &a);
    XStoreName(display_, window_, "Kavet test host");
    if (options_.xembed && options_.embedder == Embedder::Apart) {
        apartDisplay_ = XOpenDisplay(nullptr);
        apart_ =
            XCreateSimpleWindow(apartDisplay_, RootWindow(display_, screen), 0, 0, 1, 1, 0, 0, 0);
        XSync(apartDisplay_, False);
    }
    XMapWindow(display_, window_);
    for (XEvent e;;) {
        XNextEvent(display_, &e);
        if (e.type == MapNotify && e.xmap.window == window_) break;
    }
    module_ = std::make_unique<host::VstModule>(options_.module);
    {
        std::lock_guard g(g_hostsLock);
        g_creating = this;
        effect_ = module_->entry()(callback);
        g_creating = nullptr;
        if (effect_) g_hosts[effect_] = this;
    }
    if (!effect_) throw std::runtime_error("the module's entry answered null");
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effMainsChanged, 0, 1);
}

X11Host::~X11Host() {
    if (effect_) {
        closeEditor();
        dispatch(effMainsChanged, 0, 0);
        dispatch(effClose);
        std::lock_guard g(g_hostsLock);
        g_hosts.erase(effect_);
    }
    module_.reset();
    if (window_) XDestroyWindow(display_, window_);
    if (apartDisplay_) XCloseDisplay(apartDisplay_);
    XCloseDisplay(display_);
}

VstIntPtr VSTCALLBACK X11Host::callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                        VstIntPtr value, void*, float opt) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterIdle) return 1;
    std::lock_guard g(g_hostsLock);
    auto it = g_hosts.find(effect);
    X11Host* host = it != g_hosts.end() ? it->second : g_creating;
    if (host) host->calls.push_back({opcode, index, value, opt});
    return opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit ? 1 : 0;
}

VstIntPtr X11Host::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void X11Host::destroyHostWindow() {
    XDestroyWindow(display_, window_);
    XSync(display_, False);
    window_ = 0;
}

void X11Host::forgetEffect() {
    std::lock_guard g(g_hostsLock);
    g_hosts.erase(effect_);
    effect_ = nullptr;
    open_ = false;
}

void X11Host::unloadModule() {
    // The effect's memory is the host's loss. Kept reachable, so that the leak checker
    // reports only what the module itself leaves behind.
    static std::vector<AEffect*> lost;
    lost.push_back(effect_);
    forgetEffect();
    module_.reset();
}

bool X11Host::openEditor() {
    void* id = reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_));
    open_ = dispatch(effEditOpen, 0, 0, id) == 1;
    if (open_) idle(3);
    calls.clear();
    return open_;
}

void X11Host::closeEditor() {
    if (!open_) return;
    dispatch(effEditClose);
    open_ = false;
    XSync(display_, False);
}

::Window X11Host::editorWindow() const {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ::Window found = 0;
    if (XQueryTree(display_, window_, &root, &parent, &children, &count) && count > 0)
        found = children[0];
    if (children) XFree(children);
    return found;
}

void X11Host::handleEvents() {
    // The window apart is another connection's: a message sent to it arrives there only.
    for (auto [d, receiver] : {std::pair{display_, window_}, std::pair{apartDisplay_, apart_}})
        while (d && XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
            if (!options_.xembed) continue;
            if (e.type == MapNotify && e.xmap.window != window_) {
                // The embedder's part of the protocol: tell the new window who embeds it.
                XEvent notify{};
                notify.xclient.type = ClientMessage;
                notify.xclient.window = e.xmap.window;
                notify.xclient.message_type = XInternAtom(display_, "_XEMBED", False);
                notify.xclient.format = 32;
                notify.xclient.data.l[0] = CurrentTime;
                notify.xclient.data.l[1] = 0; // XEMBED_EMBEDDED_NOTIFY
                notify.xclient.data.l[3] =
                    options_.embedder == Embedder::Unnamed ? 0 : static_cast<long>(embedder());
                XSendEvent(display_, e.xmap.window, False, NoEventMask, &notify);
                XFlush(display_);
            } else if (e.type == ClientMessage &&
                       e.xclient.message_type == XInternAtom(display_, "_XEMBED", False)) {
                // Under the window it reached, when it names that window too (else under 0).
                xembedMessages[e.xclient.window == receiver ? receiver : 0].push_back(
                    e.xclient.data.l[1]);
            }
        }
}

void X11Host::idle(int count) {
    for (int i = 0; i < count; ++i) {
        XSync(display_, False);
        handleEvents();
        if (open_) dispatch(effEditIdle);
        sleepMs(kIdleMs);
    }
    handleEvents();
}

void X11Host::process(float level, int frames) {
    const int channels = effect_->numInputs;
    std::vector<std::vector<float>> in(channels, std::vector<float>(frames, level));
    std::vector<std::vector<float>> out(effect_->numOutputs, std::vector<float>(frames, 0.0f));
    std::vector<float*> inputs, outputs;
    for (auto& c : in)
        inputs.push_back(c.data());
    for (auto& c : out)
        outputs.push_back(c.data());
    effect_->processReplacing(effect_, inputs.data(), outputs.data(), frames);
}

void X11Host::perform(const std::vector<Input>& steps) {
    // In our window's coordinates: the editor sits at its (0, 0).
    performWhile(display_, window_, steps, [this] { idle(); });
    idle(5);
}

driver::Image readWindow(Display* display, XWindow window) {
    driver::Image img;
    XWindowAttributes a{};
    if (!window || !XGetWindowAttributes(display, window, &a)) return img;
    XImage* x = XGetImage(display, window, 0, 0, static_cast<unsigned>(a.width),
                          static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (!x) return img;
    img.width = a.width;
    img.height = a.height;
    img.rgba.resize(static_cast<std::size_t>(a.width) * a.height * 4);
    // A 24-bit TrueColor screen: 8 bits a channel.
    for (int y = 0; y < a.height; ++y)
        for (int xx = 0; xx < a.width; ++xx) {
            const unsigned long p = XGetPixel(x, xx, y);
            std::uint8_t* out = img.rgba.data() + (static_cast<std::size_t>(y) * a.width + xx) * 4;
            out[0] = static_cast<std::uint8_t>((p & x->red_mask) >> 16);
            out[1] = static_cast<std::uint8_t>((p & x->green_mask) >> 8);
            out[2] = static_cast<std::uint8_t>(p & x->blue_mask);
            out[3] = 255;
        }
    XDestroyImage(x);
    return img;
}

driver::Image X11Host::capture() const {
    return readWindow(display_, editorWindow());
}

driver::Image X11Host::captureHost() const {
    return readWindow(display_, window_);
}

namespace {
int countBelow(Display* d, ::Window w) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    int total = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i)
            total += 1 + countBelow(d, children[i]);
    }
    if (children) XFree(children);
    return total;
}
} // namespace

int windowCount(Display* display) {
    return countBelow(display, DefaultRootWindow(display));
}

} // namespace kavet::x11test
