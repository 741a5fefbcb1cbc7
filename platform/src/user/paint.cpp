// Update regions, WM_PAINT, window DCs and the system colours.
#include "user/state.h"

namespace kavet::user {
namespace {

std::shared_ptr<Window> desktop() {
    static std::shared_ptr<Window> d = [] {
        auto w = std::make_shared<Window>();
        w->surface.resize(1, 1);
        w->rect = {0, 0, 1, 1};
        return w;
    }();
    return d;
}

RECT clientOf(const Window& w) {
    return {0, 0, widthOf(w.rect), heightOf(w.rect)};
}

HDC makeDC(const std::shared_ptr<Window>& w, RECT clip) {
    HDC dc = kavet::platform::createSurfaceDC(w->surface, {0, 0}, clip);
    if (!dc) return nullptr;
    std::lock_guard g(state().lock);
    state().dcs[dc] = w;
    return dc;
}

void invalidateAllLocked(const std::vector<HWND>& list) {
    for (HWND h : list)
        if (auto w = findLocked(h)) {
            invalidateLocked(*w, nullptr, true);
            invalidateAllLocked(w->children);
        }
}

} // namespace

void invalidateLocked(Window& w, const RECT* rect, bool erase) {
    if (!visibleLocked(w)) return;
    RECT client = clientOf(w);
    RECT r = rect ? intersect(*rect, client) : client;
    if (isEmpty(r)) return;
    w.update = unite(w.update, r);
    if (erase) w.erase = true;
    notifyLocked();
}

} // namespace kavet::user

using namespace kavet::user;

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    std::lock_guard g(state().lock);
    if (!hwnd) {
        invalidateAllLocked(state().topLevel);
        return TRUE;
    }
    auto w = findLocked(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    invalidateLocked(*w, rect, erase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT* rect) {
    std::lock_guard g(state().lock);
    auto w = findLocked(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // The region is a bounding rectangle: validating only shrinks it when the validated
    // rectangle covers it in full, or covers whole rows or columns from one side.
    if (!rect) {
        w->update = {};
        w->erase = false;
        return TRUE;
    }
    RECT& u = w->update;
    RECT r = *rect;
    if (r.left <= u.left && r.right >= u.right) {
        if (r.top <= u.top && r.bottom >= u.bottom)
            u = {};
        else if (r.top <= u.top && r.bottom > u.top)
            u.top = r.bottom;
        else if (r.bottom >= u.bottom && r.top < u.bottom)
            u.bottom = r.top;
    } else if (r.top <= u.top && r.bottom >= u.bottom) {
        if (r.left <= u.left && r.right > u.left)
            u.left = r.right;
        else if (r.right >= u.right && r.left < u.right)
            u.right = r.left;
    }
    if (isEmpty(u)) u = {}, w->erase = false;
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
    RECT u;
    bool needErase;
    {
        std::lock_guard g(state().lock);
        auto w = findLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        u = isEmpty(w->update) ? RECT{0, 0, 0, 0} : w->update;
        needErase = w->erase;
    }
    if (rect) *rect = u;
    if (isEmpty(u)) return FALSE;
    if (erase && needErase) {
        HDC dc = GetDC(hwnd);
        bool erased = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) != 0;
        ReleaseDC(hwnd, dc);
        std::lock_guard g(state().lock);
        if (auto w = findLocked(hwnd); w && erased) w->erase = false;
    }
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    std::vector<HWND> children;
    bool due;
    {
        std::lock_guard g(state().lock);
        auto w = findLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        due = !isEmpty(w->update) && visibleLocked(*w);
        children = w->children;
    }
    if (due) SendMessageA(hwnd, WM_PAINT, 0, 0);
    for (HWND c : children)
        UpdateWindow(c);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
    std::shared_ptr<Window> w;
    RECT r;
    bool erase;
    {
        std::lock_guard g(state().lock);
        w = findLocked(hwnd);
        if (!w || !ps) {
            SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        r = intersect(w->update, clientOf(*w));
        erase = w->erase;
        w->update = {};
        w->erase = false;
    }
    HDC dc = makeDC(w, r);
    *ps = PAINTSTRUCT{};
    ps->hdc = dc;
    ps->rcPaint = r;
    ps->fErase = FALSE;
    if (erase && dc)
        ps->fErase =
            SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (!ps) return FALSE;
    ReleaseDC(hwnd, ps->hdc);
    return TRUE;
}

HDC WINAPI GetDC(HWND hwnd) {
    if (!hwnd) return makeDC(desktop(), {0, 0, 1, 1});
    auto w = find(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return makeDC(w, clientOf(*w));
}

HDC WINAPI GetWindowDC(HWND hwnd) {
    return GetDC(hwnd);
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    std::shared_ptr<Window> keep; // released after the DC
    {
        std::lock_guard g(state().lock);
        auto it = state().dcs.find(dc);
        if (it == state().dcs.end()) return 0;
        keep = it->second;
        state().dcs.erase(it);
    }
    kavet::platform::releaseSurfaceDC(dc);
    return 1;
}

DWORD WINAPI GetSysColor(int index) {
    // The "Windows Standard" scheme of an NT desktop, as COLORREF (0x00BBGGRR).
    switch (index) {
    case COLOR_SCROLLBAR:
        return 0x00C8C8C8;
    case COLOR_BACKGROUND:
        return 0x00000000;
    case COLOR_WINDOW:
        return 0x00FFFFFF;
    case COLOR_WINDOWFRAME:
        return 0x00646464;
    case COLOR_WINDOWTEXT:
        return 0x00000000;
    case COLOR_HIGHLIGHT:
        return 0x00FF9933;
    case COLOR_HIGHLIGHTTEXT:
        return 0x00FFFFFF;
    case COLOR_BTNFACE:
        return 0x00F0F0F0;
    case COLOR_BTNSHADOW:
        return 0x00A0A0A0;
    case COLOR_GRAYTEXT:
        return 0x006D6D6D;
    case COLOR_BTNTEXT:
        return 0x00000000;
    default:
        return 0;
    }
}

HBRUSH WINAPI GetSysColorBrush(int index) {
    static std::mutex lock;
    static HBRUSH brushes[32] = {};
    if (index < 0 || index >= 32) return nullptr;
    std::lock_guard g(lock);
    if (!brushes[index]) brushes[index] = CreateSolidBrush(GetSysColor(index));
    return brushes[index];
}
