// The seam between the window manager and a real window system. Without one (the headless
// backend) every window lives in memory only; a backend that shows windows on a display
// (the X11 one) is told where the window manager would meet the system's own input and
// output, and feeds input back through user/input.h.
#pragma once

#include <windows.h>

namespace kavet::user::display {

class Backend {
public:
    virtual ~Backend() = default;
    // Takes the input the display has queued (no window procedure runs). Called where a
    // program asks for input state: GetAsyncKeyState, GetKeyState, GetCursorPos.
    virtual void pollInput() = 0;
    // Takes queued input and shows what was drawn since the last time, if that is due.
    // Called where a program waits for messages (PeekMessageA, GetMessageA): the modal
    // loops of the controls pass there between their steps.
    virtual void service() = 0;
    // The keyboard focus of the window manager moved from `from` to `to` (either null).
    virtual void focusMoved(HWND from, HWND to) = 0;
    // The cursor's show count crossed zero: false hides the cursor.
    virtual void cursorShown(bool shown) = 0;
    // The program moved the cursor to `screen`.
    virtual void cursorMoved(POINT screen) = 0;
};

// The backend in use, or null. Set by the backend itself; the pointer stays valid while set.
void install(Backend* backend);
void uninstall(Backend* backend);

// The calls of the window manager (no effect without a backend). Never with the lock held.
void pollInput();
void service();
void focusMoved(HWND from, HWND to);
void cursorShown(bool shown);
void cursorMoved(POINT screen);

} // namespace kavet::user::display
