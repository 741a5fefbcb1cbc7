// Window creation and destruction, the window tree, visibility, position and size.
#include "user/classes.h"

#include <cstring>

namespace kavet::user {
namespace {

void eraseFrom(std::vector<HWND>& list, HWND hwnd) {
    std::erase(list, hwnd);
}

std::vector<HWND>& siblingsLocked(Window& w) {
    if (w.parent) {
        if (auto p = findLocked(w.parent)) return p->children;
    }
    return state().topLevel;
}

// Invalidates the area of `w` in its parent (or nothing for a top-level window).
void exposeParentLocked(Window& w) {
    if (!w.parent) return;
    if (auto p = findLocked(w.parent)) invalidateLocked(*p, &w.rect, true);
}

void invalidateTreeLocked(Window& w) {
    invalidateLocked(w, nullptr, true);
    for (HWND c : w.children)
        if (auto cw = findLocked(c)) invalidateTreeLocked(*cw);
}

// Sets the visibility; returns whether it was visible. Sends nothing.
bool setVisible(HWND hwnd, bool show) {
    std::lock_guard g(state().lock);
    auto w = findLocked(hwnd);
    if (!w) return false;
    bool was = (w->style & WS_VISIBLE) != 0;
    if (was == show) return was;
    if (show) {
        w->style |= WS_VISIBLE;
        invalidateTreeLocked(*w);
    } else {
        exposeParentLocked(*w);
        w->style &= ~static_cast<DWORD>(WS_VISIBLE);
    }
    return was;
}

void collectTree(HWND hwnd, std::vector<HWND>& preorder) {
    preorder.push_back(hwnd);
    std::vector<HWND> children;
    {
        std::lock_guard g(state().lock);
        auto w = findLocked(hwnd);
        if (!w) return;
        children = w->children;
    }
    for (HWND c : children)
        collectTree(c, preorder);
}

void releaseWindowLocked(Window& w) {
    State& s = state();
    w.destroyed = true;
    eraseFrom(siblingsLocked(w), w.handle);
    if (w.cls) w.cls->windows--;
    purgeMessagesLocked(w.handle);
    if (s.capture == w.handle) s.capture = nullptr;
    if (s.focus == w.handle) s.focus = nullptr;
    s.windows.erase(reinterpret_cast<std::uintptr_t>(w.handle));
}

LONG_PTR getLongPtr(HWND hwnd, int index, std::size_t width) {
    std::lock_guard g(state().lock);
    auto w = findLocked(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_USERDATA:
        return w->userData;
    case GWLP_ID:
        return w->id;
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    case GWL_STYLE:
        return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(w->exStyle);
    default:
        break;
    }
    if (index < 0 || static_cast<std::size_t>(index) + width > w->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    if (width == 4) {
        LONG v;
        std::memcpy(&v, w->extra.data() + index, 4);
        return v;
    }
    LONG_PTR v;
    std::memcpy(&v, w->extra.data() + index, sizeof v);
    return v;
}

LONG_PTR setLongPtr(HWND hwnd, int index, LONG_PTR value, std::size_t width) {
    std::lock_guard g(state().lock);
    auto w = findLocked(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    SetLastError(0);
    LONG_PTR old = 0;
    switch (index) {
    case GWLP_WNDPROC:
        if (!value) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWLP_USERDATA:
        old = w->userData, w->userData = value;
        return old;
    case GWLP_ID:
        old = w->id, w->id = value;
        return old;
    case GWLP_HINSTANCE:
        old = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return old;
    case GWL_STYLE:
        old = static_cast<LONG>(w->style), w->style = static_cast<DWORD>(value);
        return old;
    case GWL_EXSTYLE:
        old = static_cast<LONG>(w->exStyle), w->exStyle = static_cast<DWORD>(value);
        return old;
    case GWLP_HWNDPARENT:
        old = reinterpret_cast<LONG_PTR>(w->owner);
        if (!w->parent) w->owner = reinterpret_cast<HWND>(value);
        return old;
    default:
        break;
    }
    if (index < 0 || static_cast<std::size_t>(index) + width > w->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    if (width == 4) {
        LONG o, v = static_cast<LONG>(value);
        std::memcpy(&o, w->extra.data() + index, 4);
        std::memcpy(w->extra.data() + index, &v, 4);
        return o;
    }
    std::memcpy(&old, w->extra.data() + index, sizeof old);
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
}

} // namespace
} // namespace kavet::user

using namespace kavet::user;

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance,
                            LPVOID param) {
    ensureSystemClasses();
    State& s = state();
    HWND hwnd;
    std::shared_ptr<Window> w = std::make_shared<Window>();
    {
        std::lock_guard g(s.lock);
        auto cls = findClassLocked(className, instance);
        if (!cls) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        std::shared_ptr<Window> pw;
        if (parent && parent != HWND_MESSAGE) {
            pw = findLocked(parent);
            if (!pw) {
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return nullptr;
            }
        }
        bool child = (style & WS_CHILD) != 0;
        if (child && !pw) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        if (x == CW_USEDEFAULT) x = y = 0;
        if (cx == CW_USEDEFAULT) {
            cx = child ? 0 : 640;
            cy = child ? 0 : 480;
        }
        cx = std::max(cx, 0);
        cy = std::max(cy, 0);
        hwnd = reinterpret_cast<HWND>(s.nextHandle);
        s.nextHandle += 4;
        w->handle = hwnd;
        w->thread = GetCurrentThreadId();
        w->cls = cls;
        w->instance = instance;
        w->proc = cls->proc;
        w->style = style & ~static_cast<DWORD>(WS_VISIBLE);
        w->exStyle = exStyle;
        w->parent = child ? parent : nullptr;
        w->owner = child ? nullptr : (pw ? parent : nullptr);
        w->id = child ? reinterpret_cast<LONG_PTR>(menu) : 0;
        w->extra.assign(static_cast<std::size_t>(cls->wndExtra), 0);
        w->rect = {x, y, x + cx, y + cy};
        w->surface.resize(cx, cy);
        cls->windows++;
        s.windows[reinterpret_cast<std::uintptr_t>(hwnd)] = w;
        (child ? pw->children : s.topLevel).push_back(hwnd);
        queueLocked(w->thread);
    }
    CREATESTRUCTA cs{param,      instance,  menu,   parent, cy, cx, y, x, static_cast<LONG>(style),
                     windowName, className, exStyle};
    auto cs_l = reinterpret_cast<LPARAM>(&cs);
    if (!send(hwnd, WM_NCCREATE, 0, cs_l)) {
        send(hwnd, WM_NCDESTROY, 0, 0);
        std::lock_guard g(s.lock);
        releaseWindowLocked(*w);
        return nullptr;
    }
    if (send(hwnd, WM_CREATE, 0, cs_l) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;
    send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cx, cy));
    send(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    if (auto live = find(hwnd)) live->creating = false;
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    State& s = state();
    HWND parent;
    {
        std::lock_guard g(s.lock);
        auto w = findLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (w->thread != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        parent = w->parent;
    }
    // A child that goes hands the focus to its parent, as hiding it would.
    focusLeaving(hwnd, parent);
    if (parent && IsWindowVisible(hwnd)) {
        send(hwnd, WM_SHOWWINDOW, FALSE, 0);
        setVisible(hwnd, false);
    }
    std::vector<HWND> tree;
    collectTree(hwnd, tree);
    for (HWND h : tree)
        if (IsWindow(h)) send(h, WM_DESTROY, 0, 0);
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        if (!IsWindow(*it)) continue;
        send(*it, WM_NCDESTROY, 0, 0);
        std::lock_guard g(s.lock);
        if (auto w = findLocked(*it)) releaseWindowLocked(*w);
    }
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) {
    return find(hwnd) != nullptr;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    std::lock_guard g(state().lock);
    auto w = findLocked(hwnd);
    return w && visibleLocked(*w);
}

BOOL WINAPI IsWindowEnabled(HWND hwnd) {
    auto w = find(hwnd);
    return w && !(w->style & WS_DISABLED);
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
    bool wasDisabled;
    {
        std::lock_guard g(state().lock);
        auto w = findLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        wasDisabled = (w->style & WS_DISABLED) != 0;
        if (wasDisabled == !enable) return wasDisabled;
        if (enable)
            w->style &= ~static_cast<DWORD>(WS_DISABLED);
        else
            w->style |= WS_DISABLED;
    }
    if (!enable) focusLeaving(hwnd, nullptr);
    send(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL WINAPI IsChild(HWND parent, HWND hwnd) {
    std::lock_guard g(state().lock);
    auto w = findLocked(hwnd);
    return w && w->parent && isDescendantLocked(parent, w->parent);
}

HWND WINAPI GetParent(HWND hwnd) {
    std::lock_guard g(state().lock);
    auto w = findLocked(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (w->parent) return w->parent;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND WINAPI GetDesktopWindow() {
    return nullptr;
}

DWORD WINAPI GetWindowThreadProcessId(HWND hwnd, LPDWORD process) {
    auto w = find(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (process) *process = 1;
    return w->thread;
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmd) {
    auto w = find(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    bool show = cmd != SW_HIDE;
    bool was = (w->style & WS_VISIBLE) != 0;
    if (was == show) return was;
    if (!show) focusLeaving(hwnd, w->parent);
    send(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    setVisible(hwnd, show);
    return was;
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    State& s = state();
    bool moved = false, sized = false;
    RECT r;
    {
        std::lock_guard g(s.lock);
        auto w = findLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        r = w->rect;
        if (!(flags & SWP_NOMOVE)) r = {x, y, x + widthOf(w->rect), y + heightOf(w->rect)};
        if (!(flags & SWP_NOSIZE))
            r.right = r.left + std::max(cx, 0), r.bottom = r.top + std::max(cy, 0);
        moved = r.left != w->rect.left || r.top != w->rect.top;
        sized = widthOf(r) != widthOf(w->rect) || heightOf(r) != heightOf(w->rect);
        bool visible = visibleLocked(*w);
        if ((moved || sized) && visible && !(flags & SWP_NOREDRAW)) exposeParentLocked(*w);
        w->rect = r;
        if (sized) {
            w->surface.resize(widthOf(r), heightOf(r));
            w->update = {};
            invalidateLocked(*w, nullptr, true);
        }
        if ((moved || sized) && visible && !(flags & SWP_NOREDRAW)) exposeParentLocked(*w);
        if (!(flags & SWP_NOZORDER)) {
            auto& list = siblingsLocked(*w);
            eraseFrom(list, hwnd);
            if (after == HWND_BOTTOM)
                list.insert(list.begin(), hwnd);
            else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST)
                list.push_back(hwnd);
            else {
                auto it = std::find(list.begin(), list.end(), after);
                list.insert(it == list.end() ? list.end() : it, hwnd);
            }
        }
    }
    if (flags & SWP_HIDEWINDOW) {
        focusLeaving(hwnd, GetParent(hwnd));
        setVisible(hwnd, false);
    }
    if (flags & SWP_SHOWWINDOW) setVisible(hwnd, true);
    if (moved) send(hwnd, WM_MOVE, 0, MAKELPARAM(r.left, r.top));
    if (sized) send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(widthOf(r), heightOf(r)));
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int w, int h, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, w, h,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    auto w = find(hwnd);
    if (!w || !rect) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = {0, 0, widthOf(w->rect), heightOf(w->rect)};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    std::lock_guard g(state().lock);
    auto w = findLocked(hwnd);
    if (!w || !rect) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    POINT o = clientOriginLocked(*w);
    *rect = {o.x, o.y, o.x + widthOf(w->rect), o.y + heightOf(w->rect)};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT pt) {
    std::lock_guard g(state().lock);
    auto w = findLocked(hwnd);
    if (!w || !pt) return FALSE;
    POINT o = clientOriginLocked(*w);
    pt->x += o.x;
    pt->y += o.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT pt) {
    std::lock_guard g(state().lock);
    auto w = findLocked(hwnd);
    if (!w || !pt) return FALSE;
    POINT o = clientOriginLocked(*w);
    pt->x -= o.x;
    pt->y -= o.y;
    return TRUE;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
    return getLongPtr(hwnd, index, sizeof(LONG_PTR));
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    return setLongPtr(hwnd, index, value, sizeof(LONG_PTR));
}

LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
    if (sizeof(LONG_PTR) > 4 && index == GWL_WNDPROC) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return static_cast<LONG>(getLongPtr(hwnd, index, 4));
}

LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
    if (sizeof(LONG_PTR) > 4 && index == GWL_WNDPROC) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return static_cast<LONG>(setLongPtr(hwnd, index, value, 4));
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR out, int max) {
    if (!out || max <= 0) return 0;
    auto w = find(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        out[0] = '\0';
        return 0;
    }
    if (w->thread == GetCurrentThreadId())
        return static_cast<int>(
            send(hwnd, WM_GETTEXT, static_cast<WPARAM>(max), reinterpret_cast<LPARAM>(out)));
    std::lock_guard g(state().lock);
    int n = std::min<int>(static_cast<int>(w->text.size()), max - 1);
    std::memcpy(out, w->text.data(), static_cast<std::size_t>(n));
    out[n] = '\0';
    return n;
}

int WINAPI GetWindowTextLengthA(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return static_cast<int>(send(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}
