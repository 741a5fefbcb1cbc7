// The X11 backend: the connection, the error handlers, attaching and detaching host
// windows, the keyboard focus and the cursor.
#include "x11/backend.h"

#include "user/state.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace kavet::x11 {
namespace {

// The display whose errors the trap counts; the handler is the process's (Xlib has one),
// so it is set only while the backend talks to its connection.
Display* g_trapped = nullptr;
unsigned g_errors = 0;
int (*g_previous)(Display*, XErrorEvent*) = nullptr;
std::atomic<bool> g_lost{false};

int onError(Display* display, XErrorEvent* event) {
    if (display == g_trapped) {
        ++g_errors;
        return 0;
    }
    return g_previous ? g_previous(display, event) : 0;
}

void onConnectionLost(Display*, void*) {
    g_lost = true; // returning keeps the process alive; the backend stops using the display
}

constexpr long kXEmbedMapped = 1; // _XEMBED_INFO flag: the embedder shows the window

bool isTextEntry(HWND hwnd) {
    char name[16] = {};
    if (!hwnd || GetClassNameA(hwnd, name, sizeof name) <= 0) return false;
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return std::strcmp(name, "EDIT") == 0;
}

LRESULT CALLBACK proxyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

constexpr const char* kProxyClass = "KavetHostWindow";

// pump() runs on this thread; messages it is dispatching: a wait for messages inside one is a
// control's modal loop, which takes input as it happened and shows its steps itself.
thread_local bool t_pumping = false;
thread_local int t_dispatching = 0;

bool registerProxyClass() {
    WNDCLASSA wc{};
    if (GetClassInfoA(nullptr, kProxyClass, &wc)) return true;
    wc.lpfnWndProc = proxyProc;
    wc.lpszClassName = kProxyClass;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    return RegisterClassA(&wc) != 0;
}

} // namespace

ErrorTrap::ErrorTrap(const Xlib& x, Display* display) : x_(x), display_(display) {
    outer_ = g_trapped;
    outerErrors_ = g_errors;
    g_trapped = display;
    g_errors = 0;
    previous_ = x_.XSetErrorHandler(onError);
    if (previous_ != onError) g_previous = previous_;
}

ErrorTrap::~ErrorTrap() {
    // Restores the handler found, unless someone else has set one meanwhile.
    auto current = x_.XSetErrorHandler(previous_);
    if (current != onError) x_.XSetErrorHandler(current);
    g_trapped = outer_;
    g_errors += outerErrors_;
}

bool ErrorTrap::failed() {
    if (!g_lost) x_.XSync(display_, False);
    return g_errors != 0 || g_lost;
}

bool connectionLost() {
    return g_lost;
}

void watchConnection(const Xlib& x, Display* display) {
    if (x.XSetIOErrorExitHandler) x.XSetIOErrorExitHandler(display, onConnectionLost, nullptr);
}

Backend& Backend::instance() {
    // Goes with the module (or the program): a module unloaded leaves nothing behind.
    static Backend backend;
    return backend;
}

Backend::~Backend() {
    user::display::uninstall(this);
    // A host that unloads the module with an editor still open: take our windows off its
    // window and close the connection, or the host would show the last frame for good. X
    // requests only: the layer's windows go with the module's memory.
    std::lock_guard g(lock_);
    for (auto& e : embedded_) {
        if (e->holdsKeyboard && display_ && !connectionLost()) giveBackKeyboardLocked(*e);
        destroyLocked(*e);
    }
    embedded_.clear();
    disconnectLocked();
}

bool Backend::connectLocked() {
    if (display_) return !connectionLost();
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    x_ = xlib();
    if (!x_) return false;
    display_ = x_->XOpenDisplay(name);
    if (!display_) return false;
    g_lost = false;
    watchConnection(*x_, display_);
    root_ = x_->XRootWindow(display_, x_->XDefaultScreen(display_));
    xembed_ = x_->XInternAtom(display_, "_XEMBED", False);
    xembedInfo_ = x_->XInternAtom(display_, "_XEMBED_INFO", False);
    wmProtocols_ = x_->XInternAtom(display_, "WM_PROTOCOLS", False);
    wmDeleteWindow_ = x_->XInternAtom(display_, "WM_DELETE_WINDOW", False);
    timeKnown_ = false;
    shmCompletion_ = -1;
    if (x_->hasShm && x_->XShmQueryExtension(display_))
        shmCompletion_ = x_->XShmGetEventBase(display_) + ShmCompletion;
    user::display::install(this);
    return true;
}

int Backend::connectionDescriptor() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (!display_ || connectionLost()) return -1;
    return x_->XConnectionNumber(display_);
}

void Backend::disconnectLocked() {
    if (!display_) return;
    if (!connectionLost()) {
        ErrorTrap trap(*x_, display_);
        if (invisible_) x_->XFreeCursor(display_, invisible_);
        trap.failed();
        x_->XCloseDisplay(display_);
    } // a lost connection is left as it is: Xlib allows nothing more on it
    invisible_ = 0;
    display_ = nullptr;
    pending_.clear();
}

std::size_t Backend::connections() const {
    std::lock_guard g(lock_);
    return display_ ? 1 : 0;
}

Embedded* Backend::findLocked(HWND proxy) {
    for (auto& e : embedded_)
        if (e->proxy == proxy) return e.get();
    return nullptr;
}

Embedded* Backend::findByWindowLocked(::Window window) {
    for (auto& e : embedded_)
        if (e->window == window || (e->topLevel != 0 && e->topLevel == window)) return e.get();
    return nullptr;
}

HWND Backend::proxyOfOwnerLocked(const void* owner) {
    for (auto& e : embedded_)
        if (e->owner == owner) return e->proxy;
    return nullptr;
}

HWND Backend::proxyOfOwner(const void* owner) {
    std::lock_guard g(lock_);
    return proxyOfOwnerLocked(owner);
}

HWND Backend::attach(const void* owner, ::Window host, int width, int height) {
    std::lock_guard g(lock_);
    if (!owner || proxyOfOwnerLocked(owner) || host == 0 || width <= 0 || height <= 0 ||
        width > 16384 || height > 16384)
        return nullptr;
    if (!connectLocked()) return nullptr;
    auto e = std::make_unique<Embedded>();
    e->owner = owner;
    e->host = host;
    e->thread = GetCurrentThreadId();
    {
        ErrorTrap trap(*x_, display_);
        XWindowAttributes hostAttributes{};
        if (!x_->XGetWindowAttributes(display_, host, &hostAttributes) || trap.failed()) {
            if (embedded_.empty()) disconnectLocked();
            return nullptr;
        }
        XSetWindowAttributes a{};
        a.background_pixmap = None; // the editor's pixels only: no flash of a background
        a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                       EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                       FocusChangeMask | StructureNotifyMask;
        e->window = x_->XCreateWindow(display_, host, 0, 0, static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                                      CopyFromParent, CWBackPixmap | CWEventMask, &a);
        const long info[2] = {0, kXEmbedMapped}; // XEmbed protocol version 0, mapped
        x_->XChangeProperty(display_, e->window, xembedInfo_, xembedInfo_, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(info), 2);
        XWindowAttributes own{};
        bool ok = e->window && x_->XGetWindowAttributes(display_, e->window, &own);
        if (ok) {
            e->visual = own.visual;
            e->depth = own.depth;
            e->gc = x_->XCreateGC(display_, e->window, 0, nullptr);
            x_->XMapWindow(display_, e->window);
        }
        if (!ok || trap.failed() || !makeImageLocked(*e, width, height)) {
            destroyLocked(*e);
            if (embedded_.empty()) disconnectLocked();
            return nullptr;
        }
    }
    // The proxy sits where the X window is on the screen.
    int rootX = 0, rootY = 0;
    ::Window child = 0;
    {
        ErrorTrap trap(*x_, display_);
        x_->XTranslateCoordinates(display_, e->window, root_, 0, 0, &rootX, &rootY, &child);
        trap.failed();
    }
    registerProxyClass();
    e->proxy = CreateWindowExA(0, kProxyClass, "", WS_POPUP | WS_VISIBLE, rootX, rootY, width,
                               height, nullptr, nullptr, nullptr, nullptr);
    if (!e->proxy) {
        destroyLocked(*e);
        if (embedded_.empty()) disconnectLocked();
        return nullptr;
    }
    HWND proxy = e->proxy;
    embedded_.push_back(std::move(e));
    stats_.emplace_back(proxy, PresentStats{});
    return proxy;
}

::Window Backend::makeFrameLocked(const char* title, int width, int height) {
    ErrorTrap trap(*x_, display_);
    XSetWindowAttributes a{};
    a.event_mask = StructureNotifyMask;
    const ::Window frame = x_->XCreateWindow(display_, root_, 0, 0, static_cast<unsigned>(width),
                                             static_cast<unsigned>(height), 0, CopyFromParent,
                                             InputOutput, CopyFromParent, CWEventMask, &a);
    if (frame == 0 || trap.failed()) return 0;
    x_->XStoreName(display_, frame, title);
    Atom protocols[1] = {wmDeleteWindow_};
    x_->XSetWMProtocols(display_, frame, protocols, 1);
    // The editor's size, no other: the same minimum and maximum.
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    x_->XSetWMNormalHints(display_, frame, &hints);
    if (trap.failed()) {
        x_->XDestroyWindow(display_, frame);
        return 0;
    }
    return frame;
}

HWND Backend::attachTopLevel(const void* owner, const char* title, int width, int height) {
    std::lock_guard g(lock_);
    if (!owner || !title || proxyOfOwnerLocked(owner) || width <= 0 || height <= 0 ||
        width > 16384 || height > 16384 || !connectLocked())
        return nullptr;
    const ::Window frame = makeFrameLocked(title, width, height);
    HWND proxy = frame ? attach(owner, frame, width, height) : nullptr;
    if (!proxy) {
        if (frame && display_ && !connectionLost()) {
            ErrorTrap trap(*x_, display_);
            x_->XDestroyWindow(display_, frame);
            trap.failed();
        }
        if (embedded_.empty()) disconnectLocked();
        return nullptr;
    }
    findLocked(proxy)->topLevel = frame;
    {
        ErrorTrap trap(*x_, display_);
        x_->XMapWindow(display_, frame);
        trap.failed();
    }
    return proxy;
}

bool Backend::closeAsked(const void* owner) {
    std::lock_guard g(lock_);
    for (auto& e : embedded_)
        if (e->owner == owner) return e->closeAsked;
    return false;
}

void Backend::destroyLocked(Embedded& e) {
    if (!display_ || connectionLost()) return;
    ErrorTrap trap(*x_, display_);
    freeImageLocked(e);
    if (e.gc) x_->XFreeGC(display_, e.gc);
    e.gc = nullptr;
    // Gone already when the host destroyed its window first: the error is trapped.
    if (e.window && e.alive) x_->XDestroyWindow(display_, e.window);
    if (e.topLevel) x_->XDestroyWindow(display_, e.topLevel);
    trap.failed();
    // Events still queued for the window would find no record: dropped by the next drain.
}

void Backend::detach(HWND proxy) {
    std::unique_ptr<Embedded> gone;
    {
        std::lock_guard g(lock_);
        auto it = std::find_if(embedded_.begin(), embedded_.end(),
                               [proxy](const auto& e) { return e->proxy == proxy; });
        if (it == embedded_.end()) return;
        gone = std::move(*it);
        embedded_.erase(it);
        std::erase_if(stats_, [proxy](const auto& s) { return s.first == proxy; });
        if (gone->holdsKeyboard) giveBackKeyboardLocked(*gone);
        destroyLocked(*gone);
        if (embedded_.empty()) disconnectLocked();
    }
    // Whatever the editor left in the proxy goes with it (window procedures run unlocked).
    DestroyWindow(proxy);
}

PresentStats Backend::stats(HWND proxy) {
    std::lock_guard g(lock_);
    for (auto& s : stats_)
        if (s.first == proxy) return s.second;
    return {};
}

bool Backend::setMapped(HWND proxy, bool mapped) {
    std::lock_guard g(lock_);
    Embedded* e = findLocked(proxy);
    if (!e || !e->window || connectionLost()) return false;
    if (mapped)
        x_->XMapWindow(display_, e->window);
    else
        x_->XUnmapWindow(display_, e->window);
    x_->XFlush(display_);
    return true;
}

::Window Backend::xWindow(HWND proxy) {
    std::lock_guard g(lock_);
    Embedded* e = findLocked(proxy);
    return e ? e->window : 0;
}

HWND Backend::proxyOf(::Window host) {
    std::lock_guard g(lock_);
    for (auto& e : embedded_)
        if (e->host == host) return e->proxy;
    return nullptr;
}

void Backend::resendAll(HWND proxy) {
    std::lock_guard g(lock_);
    if (Embedded* e = findLocked(proxy)) e->exposed.push_back({0, 0, e->width, e->height});
}

void Backend::sync() {
    std::lock_guard g(lock_);
    if (!display_ || connectionLost()) return;
    ErrorTrap trap(*x_, display_);
    trap.failed();
}

void Backend::allowSharedMemory(bool allow) {
    std::lock_guard g(lock_);
    allowShm_ = allow;
}

void Backend::pump() {
    // Called again from inside a control's modal loop (a host idling the editor from a
    // callback): the loop is taking the input already.
    if (t_dispatching > 0) return;
    {
        std::lock_guard g(lock_);
        if (!display_ || connectionLost()) return;
        drainLocked();
        // The oldest input takes effect now, the rest as long after it as it came.
        const std::uint64_t now = user::nowMs();
        replayLag_ =
            pending_.empty() || pending_.front().time > now ? 0 : now - pending_.front().time;
    }
    // As a host's message loop would on Windows: every message of this thread, once; each
    // press handled before the input after it takes effect.
    const bool outer = !t_pumping;
    t_pumping = true;
    std::vector<HWND> painted;
    for (bool pressed = true; pressed;) {
        {
            std::lock_guard g(lock_);
            pressed = applyLocked(false, true);
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) break;
            if (msg.message == WM_PAINT) {
                // A window that does not validate on WM_PAINT must not keep the loop going.
                if (std::find(painted.begin(), painted.end(), msg.hwnd) != painted.end()) break;
                painted.push_back(msg.hwnd);
            }
            TranslateMessage(&msg);
            ++t_dispatching;
            DispatchMessageA(&msg);
            --t_dispatching;
        }
    }
    if (outer) t_pumping = false;
}

void Backend::present() {
    std::lock_guard g(lock_);
    if (!display_ || connectionLost()) return;
    const DWORD me = GetCurrentThreadId();
    for (auto& e : embedded_)
        if (e->thread == me) presentLocked(*e);
}

void Backend::pollInput() {
    std::unique_lock g(lock_, std::try_to_lock);
    // Another thread draining now delivers the same input; never wait for it here.
    if (!g.owns_lock() || !display_ || connectionLost()) return;
    drainLocked();
    // Between the messages of pump(), pump() applies input itself; inside one (a control's
    // modal loop) input comes as it happened; elsewhere all of it is there.
    if (t_pumping && t_dispatching == 0) return;
    applyLocked(t_dispatching > 0, false);
}

void Backend::service() {
    pollInput();
    if (t_dispatching == 0) return; // the host's idle presents when the editor has idled
    std::unique_lock g(lock_, std::try_to_lock);
    if (!g.owns_lock() || !display_ || connectionLost()) return;
    // Inside a control's modal loop the host does not idle: show its steps at about 60 Hz.
    constexpr std::uint64_t kModalFrameMs = 16;
    const DWORD me = GetCurrentThreadId();
    const std::uint64_t now = user::nowMs();
    for (auto& e : embedded_)
        if (e->thread == me && now - e->lastPresentMs >= kModalFrameMs) presentLocked(*e);
}

void Backend::focusMoved(HWND from, HWND to) {
    std::lock_guard g(lock_);
    if (!display_ || connectionLost()) return;
    const bool entry = isTextEntry(to);
    for (auto& e : embedded_) {
        const bool inside = to && IsChild(e->proxy, to);
        if (inside && entry)
            takeKeyboardLocked(*e);
        else if (e->holdsKeyboard)
            giveBackKeyboardLocked(*e);
    }
    (void)from;
}

void Backend::takeKeyboardLocked(Embedded& e) {
    if (e.holdsKeyboard || !e.alive) return;
    ErrorTrap trap(*x_, display_);
    if (e.embedder) {
        // XEmbed: the embedder owns the keyboard and forwards it once asked.
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = e.embedder;
        ev.xclient.message_type = xembed_;
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = static_cast<long>(lastServerTime_);
        ev.xclient.data.l[1] = 3; // XEMBED_REQUEST_FOCUS
        x_->XSendEvent(display_, e.embedder, False, NoEventMask, &ev);
    } else {
        ::Window previous = 0;
        int revert = 0;
        x_->XGetInputFocus(display_, &previous, &revert);
        e.focusReturn = previous;
        x_->XSetInputFocus(display_, e.window, RevertToParent, lastServerTime_);
    }
    e.holdsKeyboard = !trap.failed();
}

void Backend::giveBackKeyboardLocked(Embedded& e) {
    e.holdsKeyboard = false;
    if (e.embedder || !e.alive) return; // an embedder takes the keyboard back by itself
    ErrorTrap trap(*x_, display_);
    ::Window current = 0;
    int revert = 0;
    x_->XGetInputFocus(display_, &current, &revert);
    if (current == e.window) {
        // Back where it was; "no window" there means the host's window.
        const ::Window to = e.focusReturn == None ? e.host : e.focusReturn;
        x_->XSetInputFocus(display_, to, RevertToParent, lastServerTime_);
    }
    trap.failed();
}

void Backend::cursorShown(bool shown) {
    std::lock_guard g(lock_);
    if (!display_ || connectionLost()) return;
    ErrorTrap trap(*x_, display_);
    if (!shown && !invisible_) {
        static const char empty[1] = {0};
        Pixmap blank = x_->XCreateBitmapFromData(display_, root_, empty, 1, 1);
        XColor black{};
        invisible_ = x_->XCreatePixmapCursor(display_, blank, blank, &black, &black, 0, 0);
        x_->XFreePixmap(display_, blank);
    }
    const DWORD me = GetCurrentThreadId();
    for (auto& e : embedded_) {
        if (e->thread != me || !e->alive) continue;
        if (shown)
            x_->XUndefineCursor(display_, e->window);
        else
            x_->XDefineCursor(display_, e->window, invisible_);
        e->cursorHidden = !shown;
    }
    trap.failed();
}

void Backend::cursorMoved(POINT screen) {
    std::lock_guard g(lock_);
    if (!display_ || connectionLost() || embedded_.empty()) return;
    ErrorTrap trap(*x_, display_);
    x_->XWarpPointer(display_, None, root_, 0, 0, 0, 0, screen.x, screen.y);
    trap.failed();
}

} // namespace kavet::x11
