// The window manager's shared state: windows, classes, thread queues, input state and
// hooks, all guarded by one mutex. Rule: never call a window procedure, a hook or GDI while
// holding the lock (procedures call back into the layer, possibly from other threads).
#pragma once

#include "gdi/surface.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace kavet::user {

struct WindowClass {
    std::string name; // as registered
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int clsExtra = 0, wndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr, iconSmall = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    LPCSTR menuName = nullptr;
    bool system = false;
    int windows = 0; // live windows of the class
};

struct Window {
    HWND handle = nullptr;
    DWORD thread = 0;
    std::shared_ptr<WindowClass> cls;
    HINSTANCE instance = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0, exStyle = 0;
    HWND parent = nullptr; // WS_CHILD windows: the parent; others: null
    HWND owner = nullptr;  // top-level windows: the owner given at creation
    LONG_PTR id = 0;       // GWLP_ID (the hMenu argument of a child)
    LONG_PTR userData = 0;
    std::vector<std::uint8_t> extra;
    std::string text;
    RECT rect{};                // in the parent's client coordinates (screen for top-level windows)
    std::vector<HWND> children; // z-order, bottom first
    kavet::platform::Surface surface;
    RECT update{};      // bounding rectangle of the update region, client coordinates
    bool erase = false; // WM_ERASEBKGND still due for the update region
    bool destroyed = false;
    bool creating = true;
};

// One message in a queue, with what the input system recorded when it was generated.
struct QueuedMessage {
    MSG msg{};
    std::uint64_t serial = 0;
    bool input = false;
    HWND hookWindow = nullptr;            // MOUSEHOOKSTRUCT::hwnd for mouse input
    DWORD mouseData = 0;                  // MOUSEHOOKSTRUCTEX::mouseData
    std::array<std::uint8_t, 256> keys{}; // key state at generation (input only)
};

struct SentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
};

struct ThreadQueue {
    DWORD thread = 0;
    bool alive = true;
    std::deque<QueuedMessage> posted;
    std::deque<QueuedMessage> input;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quit = false;
    int quitCode = 0;
    LONG lastTime = 0;
    DWORD lastPos = 0;
    std::array<std::uint8_t, 256> keys{}; // GetKeyState: the state of the last input retrieved
};

struct Hook {
    HHOOK handle;
    int kind;
    HOOKPROC proc;
    DWORD thread; // 0 = every thread
    bool removed = false;
};

struct State {
    std::mutex lock;
    std::condition_variable changed; // posted, sent, answered, or input arrived
    std::uint64_t generation = 0;    // raised with every change that a waiter may want
    std::uint64_t nextSerial = 1;
    std::unordered_map<WPARAM, std::function<void()>> tasks;
    WPARAM nextTask = 1;
    std::unordered_map<std::uintptr_t, std::shared_ptr<Window>> windows;
    std::vector<HWND> topLevel; // z-order, bottom first
    std::vector<std::shared_ptr<WindowClass>> classes;
    ATOM nextAtom = 0xC000;
    // Above the 29 bits of an X11 window id, so that a host's X window is never taken for
    // one of ours (kavet/host_window.h tells them apart by IsWindow).
    std::uintptr_t nextHandle = 0x20000000;
    std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
    // Each DC handed out by GetDC/BeginPaint keeps its window (and so its surface) alive.
    std::unordered_map<HDC, std::shared_ptr<Window>> dcs;

    // Input state.
    std::array<std::uint8_t, 256> asyncKeys{}; // 0x80 down, 0x01 toggled
    POINT cursor{0, 0};
    int cursorCount = 0;
    HCURSOR currentCursor = nullptr;
    bool swapButtons = false;
    UINT doubleClickTime = 500;
    HWND focus = nullptr;
    HWND capture = nullptr;
    // Double-click detection: the last button press.
    UINT lastClickMessage = 0;
    HWND lastClickWindow = nullptr;
    DWORD lastClickTime = 0;
    POINT lastClickPos{};

    std::vector<std::shared_ptr<Hook>> hooks; // newest first
    std::uintptr_t nextHook = 0x100;
};

State& state();

// Under the lock.
std::shared_ptr<Window> findLocked(HWND hwnd);          // null for invalid or destroyed handles
std::shared_ptr<ThreadQueue> queueLocked(DWORD thread); // creates it
POINT clientOriginLocked(const Window& w);              // screen position of the client area
bool visibleLocked(const Window& w); // the window and all its ancestors are visible
HWND windowFromPointLocked(POINT screen);
void invalidateLocked(Window& w, const RECT* rect, bool erase);
void notifyLocked();                               // wakes every waiting thread
bool isDescendantLocked(HWND ancestor, HWND hwnd); // hwnd == ancestor counts
// Drops queued messages for `hwnd` from every queue.
void purgeMessagesLocked(HWND hwnd);

// Without the lock.
// If the focus (or capture) is `hwnd` or inside it, moves the focus to `to` (WM_KILLFOCUS,
// WM_SETFOCUS) and releases the capture.
void focusLeaving(HWND hwnd, HWND to);
std::shared_ptr<Window> find(HWND hwnd);
LRESULT callProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Sends to `hwnd` on the calling thread or, when another thread owns it, through that
// thread's queue (waiting and answering incoming sends meanwhile).
LRESULT send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Answers sent messages waiting for the calling thread; true if any were answered.
bool answerSent();
// Input messages: queued to the thread owning msg.hwnd (`keys` taken from the async state).
void postInputLocked(QueuedMessage m);
// Runs the hooks of `kind` for the calling thread; true when one consumed the event.
bool runHooks(int kind, int code, WPARAM wParam, LPARAM lParam);

// Internal message for deferred work on the owner thread of a window (drops).
constexpr UINT kTaskMessage = 0xC0F7;
void postTask(HWND hwnd, std::function<void()> task);
bool runTask(WPARAM id);

// Time without advancing the virtual clock.
std::uint64_t nowMs();
void processDueEvents();

inline bool isEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
inline RECT unite(const RECT& a, const RECT& b) {
    if (isEmpty(a)) return b;
    if (isEmpty(b)) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}
inline RECT intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (isEmpty(r)) return {0, 0, 0, 0};
    return r;
}
inline int widthOf(const RECT& r) {
    return r.right - r.left;
}
inline int heightOf(const RECT& r) {
    return r.bottom - r.top;
}

} // namespace kavet::user
