// Keyboard focus and mouse capture.
#include "user/display.h"
#include "user/state.h"

namespace kavet::user {

void focusLeaving(HWND hwnd, HWND to) {
    bool focusInside, captureInside;
    {
        std::lock_guard g(state().lock);
        State& s = state();
        focusInside = s.focus && isDescendantLocked(hwnd, s.focus);
        captureInside = s.capture && isDescendantLocked(hwnd, s.capture);
    }
    if (captureInside) ReleaseCapture();
    if (focusInside) SetFocus(to);
}

} // namespace kavet::user

using namespace kavet::user;

HWND WINAPI SetFocus(HWND hwnd) {
    State& s = state();
    HWND old;
    {
        std::lock_guard g(s.lock);
        if (hwnd && !findLocked(hwnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        old = s.focus;
        if (old == hwnd) return old;
        // The focus changes first: while WM_KILLFOCUS runs, GetFocus names the new window.
        s.focus = hwnd;
    }
    if (old && IsWindow(old)) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    bool still;
    {
        std::lock_guard g(s.lock);
        still = s.focus == hwnd;
    }
    if (hwnd && still && IsWindow(hwnd))
        SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    display::focusMoved(old, hwnd);
    return old;
}

HWND WINAPI GetFocus() {
    std::lock_guard g(state().lock);
    auto w = findLocked(state().focus);
    return (w && w->thread == GetCurrentThreadId()) ? w->handle : nullptr;
}

HWND WINAPI SetCapture(HWND hwnd) {
    HWND old;
    {
        std::lock_guard g(state().lock);
        if (!findLocked(hwnd)) return nullptr;
        old = state().capture;
        state().capture = hwnd;
    }
    if (old && old != hwnd) SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL WINAPI ReleaseCapture() {
    HWND old;
    {
        std::lock_guard g(state().lock);
        old = state().capture;
        state().capture = nullptr;
    }
    if (old) SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WINAPI GetCapture() {
    std::lock_guard g(state().lock);
    auto w = findLocked(state().capture);
    return (w && w->thread == GetCurrentThreadId()) ? w->handle : nullptr;
}
