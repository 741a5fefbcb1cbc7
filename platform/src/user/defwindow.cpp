// DefWindowProcA: the default answers of every window.
#include "user/state.h"

#include <cstring>

namespace kavet::user {
namespace {

void setText(HWND hwnd, LPCSTR text) {
    std::lock_guard g(state().lock);
    if (auto w = findLocked(hwnd)) w->text = (text && !IS_INTRESOURCE(text)) ? text : "";
}

LRESULT getText(HWND hwnd, WPARAM max, LPARAM out) {
    auto w = find(hwnd);
    char* buffer = reinterpret_cast<char*>(out);
    if (!w || !buffer || max == 0) return 0;
    std::lock_guard g(state().lock);
    std::size_t n = std::min<std::size_t>(w->text.size(), max - 1);
    std::memcpy(buffer, w->text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT eraseBackground(HWND hwnd, HDC dc) {
    auto w = find(hwnd);
    if (!w || !w->cls || !w->cls->background) return 0;
    HBRUSH brush = w->cls->background;
    // A class brush of (COLOR_xxx + 1) names a system colour.
    auto value = reinterpret_cast<ULONG_PTR>(brush);
    if (value <= 32) brush = GetSysColorBrush(static_cast<int>(value) - 1);
    RECT client{0, 0, widthOf(w->rect), heightOf(w->rect)};
    FillRect(dc, &client, brush);
    return 1;
}

} // namespace
} // namespace kavet::user

using namespace kavet::user;

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        if (cs) setText(hwnd, cs->lpszName);
        return TRUE;
    }
    case WM_SETTEXT:
        setText(hwnd, reinterpret_cast<LPCSTR>(lParam));
        return TRUE;
    case WM_GETTEXT:
        return getText(hwnd, wParam, lParam);
    case WM_GETTEXTLENGTH: {
        auto w = find(hwnd);
        if (!w) return 0;
        std::lock_guard g(state().lock);
        return static_cast<LRESULT>(w->text.size());
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return eraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_MOUSEWHEEL: {
        // Unhandled wheel turns go up to the parent.
        HWND parent = nullptr;
        if (auto w = find(hwnd)) parent = w->parent;
        return parent ? SendMessageA(parent, msg, wParam, lParam) : 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        int back = msg == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE;
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(back));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
    }
    case WM_MOUSEACTIVATE:
        return MA_ACTIVATE;
    case WM_NCHITTEST:
        return HTCLIENT;
    default:
        return 0;
    }
}
