// Window classes: RegisterClassA/ExA, UnregisterClassA, GetClassInfoA, GetClassNameA.
#include "user/classes.h"

#include <cstring>
#include <strings.h>

namespace kavet::user {
namespace {

bool sameName(const WindowClass& c, LPCSTR name) {
    if (IS_INTRESOURCE(name)) return c.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    return strcasecmp(c.name.c_str(), name) == 0;
}

ATOM registerLocked(const WNDCLASSEXA& wc) {
    State& s = state();
    if (!wc.lpszClassName || IS_INTRESOURCE(wc.lpszClassName) || !*wc.lpszClassName ||
        wc.cbWndExtra < 0 || wc.cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    bool global = (wc.style & CS_GLOBALCLASS) != 0;
    for (auto& c : s.classes) {
        if (c->system || !sameName(*c, wc.lpszClassName)) continue;
        if (c->instance == wc.hInstance || (global && (c->style & CS_GLOBALCLASS))) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    auto c = std::make_shared<WindowClass>();
    c->name = wc.lpszClassName;
    c->atom = s.nextAtom++;
    c->style = wc.style;
    c->proc = wc.lpfnWndProc;
    c->clsExtra = wc.cbClsExtra;
    c->wndExtra = wc.cbWndExtra;
    c->instance = wc.hInstance;
    c->icon = wc.hIcon;
    c->iconSmall = wc.hIconSm;
    c->cursor = wc.hCursor;
    c->background = wc.hbrBackground;
    c->menuName = wc.lpszMenuName;
    s.classes.push_back(c);
    return c->atom;
}

} // namespace

std::shared_ptr<WindowClass> findClassLocked(LPCSTR name, HINSTANCE instance) {
    State& s = state();
    if (!name) return nullptr;
    for (auto& c : s.classes)
        if (!c->system && !(c->style & CS_GLOBALCLASS) && c->instance == instance &&
            sameName(*c, name))
            return c;
    for (auto& c : s.classes)
        if (!c->system && (c->style & CS_GLOBALCLASS) && sameName(*c, name)) return c;
    for (auto& c : s.classes)
        if (c->system && sameName(*c, name)) return c;
    return nullptr;
}

void ensureSystemClasses() {
    State& s = state();
    std::lock_guard g(s.lock);
    for (auto& c : s.classes)
        if (c->system) return;
    auto edit = std::make_shared<WindowClass>();
    edit->name = "Edit";
    edit->atom = s.nextAtom++;
    edit->style = CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS;
    edit->proc = editWindowProc;
    edit->wndExtra = sizeof(void*);
    edit->system = true;
    s.classes.push_back(edit);
}

} // namespace kavet::user

using namespace kavet::user;

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ensureSystemClasses();
    std::lock_guard g(state().lock);
    return registerLocked(*wc);
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
    if (!wc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXA ex{sizeof(WNDCLASSEXA), wc->style,        wc->lpfnWndProc,   wc->cbClsExtra,
                   wc->cbWndExtra,      wc->hInstance,    wc->hIcon,         wc->hCursor,
                   wc->hbrBackground,   wc->lpszMenuName, wc->lpszClassName, nullptr};
    return RegisterClassExA(&ex);
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE instance) {
    State& s = state();
    std::lock_guard g(s.lock);
    for (auto it = s.classes.begin(); it != s.classes.end(); ++it) {
        auto& c = *it;
        if (c->system || c->instance != instance || !name || !sameName(*c, name)) continue;
        if (c->windows > 0) {
            SetLastError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
        s.classes.erase(it);
        return TRUE;
    }
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
}

BOOL WINAPI GetClassInfoA(HINSTANCE instance, LPCSTR name, LPWNDCLASSA out) {
    ensureSystemClasses();
    std::lock_guard g(state().lock);
    auto c = findClassLocked(name, instance);
    if (!c || !out) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *out = WNDCLASSA{c->style, c->proc,   c->clsExtra,   c->wndExtra, c->instance,
                     c->icon,  c->cursor, c->background, c->menuName, name};
    return c->atom;
}

int WINAPI GetClassNameA(HWND hwnd, LPSTR out, int max) {
    std::shared_ptr<WindowClass> c;
    {
        std::lock_guard g(state().lock);
        auto w = findLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        c = w->cls;
    }
    if (!out || max <= 0) return 0;
    int n = std::min<int>(static_cast<int>(c->name.size()), max - 1);
    std::memcpy(out, c->name.data(), static_cast<std::size_t>(n));
    out[n] = '\0';
    return n;
}
