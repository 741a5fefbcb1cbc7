// On Windows the host's window is the parent, and the system carries input and pixels.
#include <kavet/host_window.h>

namespace kavet::hostwindow {

SystemWindow systemWindowKind() {
    return SystemWindow::hwnd;
}

HWND attach(const void*, void* system, int, int) {
    return IsWindow(static_cast<HWND>(system)) ? static_cast<HWND>(system) : nullptr;
}

HWND attachTopLevel(const void*, const char*, int, int) {
    return nullptr;
}

bool closeRequested(const void*) {
    return false;
}

bool setShown(const void*, bool) {
    return true;
}

bool attached(const void*) {
    return false;
}

void* shownWindow(const void*) {
    return nullptr;
}

int eventDescriptor() {
    return -1;
}

namespace {

// The running idle timers: at most a few editors are open at once.
struct IdleTimer {
    const void* owner;
    UINT_PTR id;
    void (*tick)(void*);
    void* context;
};
IdleTimer g_timers[16] = {};

void CALLBACK onIdleTimer(HWND, UINT, UINT_PTR id, DWORD) {
    for (const IdleTimer& timer : g_timers)
        if (timer.owner != nullptr && timer.id == id) timer.tick(timer.context);
}

} // namespace

bool startIdleTimer(const void* owner, unsigned milliseconds, void (*tick)(void*), void* context) {
    stopIdleTimer(owner);
    for (IdleTimer& timer : g_timers) {
        if (timer.owner != nullptr) continue;
        const UINT_PTR id = SetTimer(nullptr, 0, milliseconds, onIdleTimer);
        if (id == 0) return false;
        timer = IdleTimer{owner, id, tick, context};
        return true;
    }
    return false;
}

void stopIdleTimer(const void* owner) {
    for (IdleTimer& timer : g_timers) {
        if (timer.owner != owner || owner == nullptr) continue;
        KillTimer(nullptr, timer.id);
        timer = IdleTimer{};
    }
}

void pump() {}

void present() {}

void detach(const void*) {}

} // namespace kavet::hostwindow
