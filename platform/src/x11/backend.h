// The X11 display backend. Each editor shown in a host's X window has an Embedded record:
// the X window made as a child of the host's window, the layer window that stands for the
// host's window (its "proxy": a top-level window of the layer whose position follows the X
// window's place on the screen, so that the layer's screen coordinates are the root
// window's), and what presenting needs. One connection to the display serves every editor of
// the module; it opens with the first editor and closes with the last.
//
// Threads: the calls come from the host's user-interface thread (the thread that opens,
// idles and closes an editor); the backend's lock makes calls from several such threads safe.
// No thread of the backend's own touches X.
#pragma once

#include "user/display.h"
#include "x11/xlib.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace kavet::x11 {

struct Embedded {
    const void* owner = nullptr; // the effect whose editor it shows
    HWND proxy = nullptr;
    ::Window window = 0; // ours, a child of `host` at (0, 0)
    ::Window host = 0;
    ::Window topLevel = 0;    // a top-level window of ours holding `window`, or 0 (a host's)
    bool closeAsked = false;  // the user asked the window manager to close `topLevel`
    DWORD thread = 0;         // the thread that attached: the owner of the proxy and the editor
    bool alive = true;        // false once the server destroyed the window (the host's went first)
    ::Window embedder = 0;    // the XEmbed embedder, once it has said so
    ::Window focusReturn = 0; // where the keyboard goes back to after a text entry
    bool holdsKeyboard = false;
    bool cursorHidden = false;

    // Presenting (present.cpp).
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    XShmSegmentInfo shm{};
    bool shared = false;              // the image is in shared memory
    int pendingPuts = 0;              // shared puts the server has not finished reading
    bool directPixels = false;        // the image's pixels are 0x00RRGGBB words as the layer's
    int width = 0, height = 0;        // of the image and the window
    std::vector<std::uint32_t> shown; // the pixels last sent; empty before the first frame
    std::vector<std::uint32_t> frame; // the pixels being composed
    std::vector<RECT> exposed;        // areas the server lost, to send again
    std::uint64_t lastPresentMs = 0;
};

// What presenting has done, for tests and benchmarks.
struct PresentStats {
    std::uint64_t frames = 0;     // presents that sent something
    std::uint64_t rectangles = 0; // rectangles sent
    std::uint64_t pixels = 0;     // pixels sent
    bool sharedMemory = false;    // the last image was in shared memory
};

class Backend final : public user::display::Backend {
public:
    static Backend& instance();
    ~Backend() override;

    HWND attach(const void* owner, ::Window host, int width, int height);
    // As attach, in a top-level window of the backend's own: titled `title`, of the editor's
    // size, not resizable by the user. The window manager's close is recorded (closeAsked),
    // not obeyed: the window goes with detach.
    HWND attachTopLevel(const void* owner, const char* title, int width, int height);
    bool closeAsked(const void* owner);
    // The descriptor of the connection to the X server; -1 while there is none.
    int connectionDescriptor();
    HWND proxyOfOwner(const void* owner);
    void detach(HWND proxy);
    void pump();
    void present();

    // For tests and benchmarks.
    PresentStats stats(HWND proxy);
    ::Window xWindow(HWND proxy);
    // Maps or unmaps the X window of `proxy`; false when there is none.
    bool setMapped(HWND proxy, bool mapped);
    HWND proxyOf(::Window host); // the proxy of the editor attached to `host`, or null
    // The next present sends the whole window (as after an Expose of all of it).
    void resendAll(HWND proxy);
    // Waits until the server has handled every request sent so far.
    void sync();
    // Shared memory off (or on again) for the images made from now on.
    void allowSharedMemory(bool allow);
    std::size_t connections() const; // 0 or 1

    void pollInput() override;
    void service() override;
    void focusMoved(HWND from, HWND to) override;
    void cursorShown(bool shown) override;
    void cursorMoved(POINT screen) override;

private:
    Backend() = default;

    bool connectLocked();
    void disconnectLocked();
    Embedded* findLocked(HWND proxy);
    HWND proxyOfOwnerLocked(const void* owner);
    Embedded* findByWindowLocked(::Window window);
    ::Window makeFrameLocked(const char* title, int width, int height);
    // Reads what the server has sent: input waits in `pending_`, the rest is handled now.
    void drainLocked();
    // Applies pending input: all of it, or (`replay`) what is due by now; with
    // `stopAfterPress`, stops after a button press. True when it stopped there.
    bool applyLocked(bool replay, bool stopAfterPress);
    void handleLocked(XEvent& event, std::uint64_t time);
    void pointerLocked(Embedded& e, const XEvent& event, std::uint64_t time);
    void keyLocked(Embedded& e, XKeyEvent& event, std::uint64_t time);
    std::uint64_t messageTime(std::uint64_t eventTime) const;
    void clientMessageLocked(Embedded& e, const XClientMessageEvent& event);
    void focusLostLocked(Embedded& e);
    std::uint64_t layerTime(Time serverTime);
    void takeKeyboardLocked(Embedded& e);
    void giveBackKeyboardLocked(Embedded& e);
    void presentLocked(Embedded& e);
    bool makeImageLocked(Embedded& e, int width, int height);
    void awaitPutsLocked(Embedded& e);
    void freeImageLocked(Embedded& e);
    void destroyLocked(Embedded& e);

    mutable std::recursive_mutex lock_;
    const Xlib* x_ = nullptr;
    Display* display_ = nullptr;
    ::Window root_ = 0;
    Atom xembed_ = 0, xembedInfo_ = 0;
    Atom wmProtocols_ = 0, wmDeleteWindow_ = 0;
    Cursor invisible_ = 0;
    int shmCompletion_ = -1; // the event type of a finished shared put
    bool allowShm_ = true;
    bool timeKnown_ = false;
    std::uint32_t timeOffset_ = 0; // layer ms minus server ms, modulo 2^32
    Time lastServerTime_ = CurrentTime;
    // Input is applied as it happened, shifted by the delay of the host's idle: a control
    // handling a press finds the button down and sees the release (or a second click) come
    // as long after the press as it came in truth, as on Windows, where the press is
    // handled as it happens.
    struct PendingInput {
        XEvent event;
        std::uint64_t time; // when it happened, in the layer's ms (0: not input)
    };
    std::deque<PendingInput> pending_;
    std::uint64_t replayLag_ = 0; // ms from an input's time to the time it takes effect
    std::vector<std::unique_ptr<Embedded>> embedded_;
    std::vector<std::pair<HWND, PresentStats>> stats_;
};

// Sets the backend's handlers for errors on its connection for a scope: errors of the
// backend's own requests are counted, never fatal; errors of other connections in the
// process go to the handler that was there before.
class ErrorTrap {
public:
    ErrorTrap(const Xlib& x, Display* display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    // Waits for the server's answer to every request so far; true if any failed since the
    // trap was set.
    bool failed();

private:
    const Xlib& x_;
    Display* display_;
    int (*previous_)(Display*, XErrorEvent*) = nullptr;
    Display* outer_ = nullptr;
    unsigned outerErrors_ = 0;
};

// True once the connection broke (the server went away): the backend then stops using it.
bool connectionLost();
void watchConnection(const Xlib& x, Display* display);

// keymap.cpp: the Windows virtual key of an X key symbol, or 0.
int virtualKeyOf(KeySym symbol);

} // namespace kavet::x11
