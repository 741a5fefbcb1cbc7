// Input state (cursor, keys, buttons), the messages that input produces, system metrics,
// double-click time, cursors and icons.
#include "user/input.h"

#include "user/display.h"
#include "user/state.h"

#include <cstdlib>

namespace kavet::user::input {
namespace {

bool down(const State& s, int vk) {
    return (s.asyncKeys[static_cast<std::size_t>(vk)] & 0x80) != 0;
}

void setKey(State& s, int vk, bool isDown) {
    auto& k = s.asyncKeys[static_cast<std::size_t>(vk)];
    if (isDown && !(k & 0x80) && vk == VK_CAPITAL) k ^= 0x01;
    k = static_cast<std::uint8_t>(isDown ? (k | 0x80) : (k & ~0x80));
}

// MK_* flags of the logical buttons and the modifier keys.
WPARAM mouseKeysLocked(const State& s) {
    WPARAM f = 0;
    bool left = down(s, VK_LBUTTON), right = down(s, VK_RBUTTON);
    if (s.swapButtons) std::swap(left, right);
    if (left) f |= MK_LBUTTON;
    if (right) f |= MK_RBUTTON;
    if (down(s, VK_MBUTTON)) f |= MK_MBUTTON;
    if (down(s, VK_SHIFT)) f |= MK_SHIFT;
    if (down(s, VK_CONTROL)) f |= MK_CONTROL;
    return f;
}

// The window that receives mouse input at the cursor: the capture, or the window under it
// (disabled windows pass the input to nobody).
std::shared_ptr<Window> mouseTargetLocked(const State& s) {
    if (auto c = findLocked(s.capture)) return c;
    auto w = findLocked(windowFromPointLocked(s.cursor));
    if (!w) return nullptr;
    for (auto p = w; p; p = findLocked(p->parent))
        if (p->style & WS_DISABLED) return nullptr;
    return w;
}

void postMouseLocked(State& s, UINT message, std::uint64_t timeMs, HWND hookWindow = nullptr) {
    auto w = mouseTargetLocked(s);
    if (!w) return;
    POINT o = clientOriginLocked(*w);
    QueuedMessage m;
    m.msg = MSG{w->handle,
                message,
                mouseKeysLocked(s),
                MAKELPARAM(s.cursor.x - o.x, s.cursor.y - o.y),
                static_cast<DWORD>(timeMs),
                s.cursor};
    m.hookWindow = hookWindow ? hookWindow : w->handle;
    postInputLocked(m);
}

// One press: WM_xBUTTONDOWN, or WM_xBUTTONDBLCLK for a second press of the same button in
// the same window within the double-click time and rectangle, when the class asks for it.
UINT pressMessageLocked(State& s, UINT downMsg, UINT dblMsg, std::uint64_t timeMs) {
    auto w = mouseTargetLocked(s);
    DWORD now = static_cast<DWORD>(timeMs);
    int dx = std::abs(s.cursor.x - s.lastClickPos.x), dy = std::abs(s.cursor.y - s.lastClickPos.y);
    bool dbl = w && (w->cls->style & CS_DBLCLKS) && s.lastClickMessage == downMsg &&
               s.lastClickWindow == w->handle && now - s.lastClickTime <= s.doubleClickTime &&
               dx <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
               dy <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (dbl) {
        s.lastClickMessage = 0;
        return dblMsg;
    }
    s.lastClickMessage = downMsg;
    s.lastClickWindow = w ? w->handle : nullptr;
    s.lastClickTime = now;
    s.lastClickPos = s.cursor;
    return downMsg;
}

int genericKey(int vk) {
    switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
        return VK_MENU;
    default:
        return vk;
    }
}

int leftKey(int vk) {
    switch (vk) {
    case VK_SHIFT:
        return VK_LSHIFT;
    case VK_CONTROL:
        return VK_LCONTROL;
    case VK_MENU:
        return VK_LMENU;
    default:
        return vk;
    }
}

} // namespace

void moveCursor(POINT screen, std::uint64_t timeMs) {
    State& s = state();
    std::lock_guard g(s.lock);
    s.cursor = screen;
    postMouseLocked(s, WM_MOUSEMOVE, timeMs);
}

void moveCursor(POINT screen) {
    moveCursor(screen, nowMs());
}

void button(PhysicalButton b, bool isDown) {
    button(b, isDown, nowMs());
}

void button(PhysicalButton b, bool isDown, std::uint64_t timeMs) {
    State& s = state();
    std::lock_guard g(s.lock);
    int vk = b == PhysicalButton::Left    ? VK_LBUTTON
             : b == PhysicalButton::Right ? VK_RBUTTON
                                          : VK_MBUTTON;
    if (down(s, vk) == isDown) return;
    setKey(s, vk, isDown);
    // Messages name the logical button: with swapped buttons the physical left is "right".
    int logical = vk;
    if (s.swapButtons && vk != VK_MBUTTON) logical = vk == VK_LBUTTON ? VK_RBUTTON : VK_LBUTTON;
    UINT downMsg = logical == VK_LBUTTON   ? WM_LBUTTONDOWN
                   : logical == VK_RBUTTON ? WM_RBUTTONDOWN
                                           : WM_MBUTTONDOWN;
    UINT message = isDown ? pressMessageLocked(s, downMsg, downMsg + 2, timeMs) : downMsg + 1;
    postMouseLocked(s, message, timeMs);
}

void wheel(int delta) {
    wheel(delta, nowMs());
}

void wheel(int delta, std::uint64_t timeMs) {
    State& s = state();
    std::lock_guard g(s.lock);
    HWND under = windowFromPointLocked(s.cursor);
    // The wheel goes to the focus window; the hook record names the window under the pointer.
    auto target = findLocked(s.focus);
    if (!target) target = findLocked(under);
    if (!target) return;
    QueuedMessage m;
    m.msg = MSG{target->handle,
                WM_MOUSEWHEEL,
                MAKEWPARAM(mouseKeysLocked(s), static_cast<WORD>(static_cast<short>(delta))),
                MAKELPARAM(s.cursor.x, s.cursor.y),
                static_cast<DWORD>(timeMs),
                s.cursor};
    m.hookWindow = under ? under : target->handle;
    m.mouseData = static_cast<DWORD>(static_cast<WORD>(static_cast<short>(delta))) << 16;
    postInputLocked(m);
}

void key(int vk, bool isDown) {
    key(vk, isDown, nowMs());
}

void key(int vk, bool isDown, std::uint64_t timeMs) {
    if (vk <= 0 || vk > 255) return;
    State& s = state();
    std::lock_guard g(s.lock);
    int generic = genericKey(vk);
    bool wasDown = down(s, generic);
    setKey(s, generic, isDown);
    setKey(s, vk == generic ? leftKey(vk) : vk, isDown);
    auto target = findLocked(s.focus);
    if (!target) return;
    bool alt = down(s, VK_MENU) || (generic == VK_MENU && !isDown);
    bool sys = (alt || generic == VK_F10) && !down(s, VK_CONTROL);
    UINT message = isDown ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    // Repeat count 1; bit 29 Alt held, bit 30 previous state, bit 31 released.
    DWORD flags = 1;
    if (alt) flags |= 1u << 29;
    if (wasDown) flags |= 1u << 30;
    if (!isDown) flags |= 1u << 31;
    QueuedMessage m;
    m.msg = MSG{target->handle,
                message,
                static_cast<WPARAM>(generic),
                static_cast<LPARAM>(static_cast<LONG>(flags)),
                static_cast<DWORD>(timeMs),
                s.cursor};
    postInputLocked(m);
}

void character(char c) {
    character(c, nowMs());
}

void character(char c, std::uint64_t timeMs) {
    State& s = state();
    std::lock_guard g(s.lock);
    auto target = findLocked(s.focus);
    if (!target) return;
    QueuedMessage m;
    m.msg = MSG{target->handle,
                WM_CHAR,
                static_cast<WPARAM>(static_cast<unsigned char>(c)),
                1,
                static_cast<DWORD>(timeMs),
                s.cursor};
    postInputLocked(m);
}

void syncModifiers(bool shift, bool control, bool alt) {
    State& s = state();
    std::lock_guard g(s.lock);
    const std::pair<int, bool> keys[] = {{VK_SHIFT, shift}, {VK_CONTROL, control}, {VK_MENU, alt}};
    for (auto [vk, isDown] : keys) {
        if (down(s, vk) == isDown) continue;
        setKey(s, vk, isDown);
        if (!isDown) {
            setKey(s, leftKey(vk), false);
            setKey(s, leftKey(vk) + 1, false); // VK_Rxxx follows VK_Lxxx
        } else {
            setKey(s, leftKey(vk), true);
        }
    }
}

void setSwapButtons(bool swap) {
    std::lock_guard g(state().lock);
    state().swapButtons = swap;
}

void resetInput() {
    State& s = state();
    std::lock_guard g(s.lock);
    for (auto& k : s.asyncKeys)
        k = 0;
    s.capture = nullptr;
    s.lastClickMessage = 0;
}

} // namespace kavet::user::input

using namespace kavet::user;

BOOL WINAPI GetCursorPos(LPPOINT pt) {
    if (!pt) return FALSE;
    display::pollInput();
    std::lock_guard g(state().lock);
    *pt = state().cursor;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    input::moveCursor({x, y});
    display::cursorMoved({x, y});
    return TRUE;
}

int WINAPI ShowCursor(BOOL show) {
    int count;
    {
        std::lock_guard g(state().lock);
        count = show ? ++state().cursorCount : --state().cursorCount;
    }
    // The cursor shows while the count is at least 0.
    if (count == (show ? 0 : -1)) display::cursorShown(show != FALSE);
    return count;
}

SHORT WINAPI GetAsyncKeyState(int vk) {
    if (vk <= 0 || vk > 255) return 0;
    display::pollInput();
    std::lock_guard g(state().lock);
    return (state().asyncKeys[static_cast<std::size_t>(vk)] & 0x80) ? static_cast<SHORT>(0x8000)
                                                                    : 0;
}

SHORT WINAPI GetKeyState(int vk) {
    if (vk <= 0 || vk > 255) return 0;
    display::pollInput();
    std::lock_guard g(state().lock);
    auto q = queueLocked(GetCurrentThreadId());
    std::uint8_t k = q->keys[static_cast<std::size_t>(vk)];
    // Down: the high bit (the value is negative); toggled: the low bit.
    return static_cast<SHORT>(((k & 0x80) ? 0xFF80 : 0) | (k & 0x01));
}

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
        return 1920;
    case SM_CYSCREEN:
        return 1080;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return 17;
    case SM_CYCAPTION:
        return 22;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_MOUSEPRESENT:
    case SM_MOUSEWHEELPRESENT:
        return 1;
    case SM_SWAPBUTTON: {
        std::lock_guard g(state().lock);
        return state().swapButtons ? 1 : 0;
    }
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG:
        return 4;
    case SM_CMOUSEBUTTONS:
        return 3;
    default:
        return 0;
    }
}

UINT WINAPI GetDoubleClickTime() {
    std::lock_guard g(state().lock);
    return state().doubleClickTime;
}

BOOL WINAPI SetDoubleClickTime(UINT ms) {
    std::lock_guard g(state().lock);
    state().doubleClickTime = ms == 0 ? 500 : std::min<UINT>(ms, 5000);
    return TRUE;
}

namespace {
// Stock cursors and icons are answered with handles that encode their resource number.
template <typename H> H stockHandle(HINSTANCE instance, LPCSTR name, ULONG_PTR base) {
    if (instance || !name || !IS_INTRESOURCE(name)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    auto id = reinterpret_cast<ULONG_PTR>(name);
    if (id < 32512 || id > 32651) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<H>(base + id);
}
} // namespace

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    return stockHandle<HCURSOR>(instance, name, 0x7F000000);
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    return stockHandle<HICON>(instance, name, 0x7E000000);
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    std::lock_guard g(state().lock);
    HCURSOR old = state().currentCursor;
    state().currentCursor = cursor;
    return old;
}

HCURSOR WINAPI GetCursor() {
    std::lock_guard g(state().lock);
    return state().currentCursor;
}
