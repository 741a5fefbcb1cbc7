// The built-in single-line "EDIT" control: text, selection and caret, editing keys, the
// user's length limit (EM_LIMITTEXT), margins, font, WM_CTLCOLOREDIT from the parent, and
// painting with the selected font (the layer's built-in font unless WM_SETFONT set one).
// The caret is drawn steadily (1 pixel wide, no blinking) while the control has the focus.
#include "user/classes.h"

#include <cctype>
#include <string>

namespace kavet::user {
namespace {

constexpr std::size_t kDefaultLimit = 32767;
constexpr int kFontMargin = 2; // margins that WM_SETFONT and EC_USEFONTINFO set

struct Edit {
    std::string text;
    std::size_t anchor = 0, caret = 0; // the selection runs between them
    std::size_t limit = kDefaultLimit;
    HFONT font = nullptr;
    int leftMargin = 1, rightMargin = 1;
    int scroll = 0; // pixels of text scrolled out on the left
    bool focused = false;
    bool selecting = false;
};

Edit* editOf(HWND hwnd) {
    return reinterpret_cast<Edit*>(GetWindowLongPtrA(hwnd, 0));
}

DWORD styleOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
}

std::size_t selStart(const Edit& e) {
    return std::min(e.anchor, e.caret);
}
std::size_t selEnd(const Edit& e) {
    return std::max(e.anchor, e.caret);
}

void notifyParent(HWND hwnd, WORD code) {
    HWND parent = GetParent(hwnd);
    if (!parent || !(styleOf(hwnd) & WS_CHILD)) return;
    auto id = static_cast<WORD>(GetWindowLongPtrA(hwnd, GWLP_ID));
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hwnd));
}

void changed(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, TRUE);
    notifyParent(hwnd, EN_UPDATE);
    notifyParent(hwnd, EN_CHANGE);
}

std::string shown(HWND hwnd, const Edit& e) {
    return (styleOf(hwnd) & ES_PASSWORD) ? std::string(e.text.size(), '*') : e.text;
}

int extent(HDC dc, const std::string& s, std::size_t n) {
    SIZE size{0, 0};
    if (n) GetTextExtentPoint32A(dc, s.data(), static_cast<int>(n), &size);
    return size.cx;
}

struct Layout {
    RECT format; // the text area inside the margins
    int x0;      // where the first character starts
    int height;  // of a line of text
};

HGDIOBJ selectFont(HDC dc, const Edit& e) {
    return SelectObject(dc, e.font ? static_cast<HGDIOBJ>(e.font) : GetStockObject(SYSTEM_FONT));
}

// Positions the text; with ES_AUTOHSCROLL the scroll follows the caret into view.
Layout layout(HWND hwnd, HDC dc, Edit& e) {
    RECT client;
    GetClientRect(hwnd, &client);
    Layout l;
    l.format = {client.left + e.leftMargin, client.top, client.right - e.rightMargin,
                client.bottom};
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    l.height = tm.tmHeight;
    std::string s = shown(hwnd, e);
    int width = extent(dc, s, s.size()), avail = widthOf(l.format);
    DWORD style = styleOf(hwnd);
    if (width <= avail) {
        e.scroll = 0;
        l.x0 = l.format.left;
        if (style & ES_CENTER)
            l.x0 += (avail - width) / 2;
        else if (style & ES_RIGHT)
            l.x0 += avail - width;
        return l;
    }
    int caretX = extent(dc, s, e.caret);
    if (caretX - e.scroll > avail - 1) e.scroll = caretX - (avail - 1);
    if (caretX - e.scroll < 0) e.scroll = caretX;
    e.scroll = std::clamp(e.scroll, 0, std::max(0, width - avail + 1));
    l.x0 = l.format.left - e.scroll;
    return l;
}

std::size_t hitTest(HWND hwnd, Edit& e, int x) {
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = selectFont(dc, e);
    Layout l = layout(hwnd, dc, e);
    std::string s = shown(hwnd, e);
    std::size_t best = 0;
    int bestDistance = std::abs(x - l.x0);
    for (std::size_t i = 1; i <= s.size(); ++i) {
        int d = std::abs(x - (l.x0 + extent(dc, s, i)));
        if (d < bestDistance) best = i, bestDistance = d;
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return best;
}

void drawRun(HDC dc, const std::string& s, std::size_t from, std::size_t to, int x0, int y) {
    if (to <= from) return;
    TextOutA(dc, x0 + extent(dc, s, from), y, s.data() + from, static_cast<int>(to - from));
}

void paint(HWND hwnd, Edit& e) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    HWND parent = (styleOf(hwnd) & WS_CHILD) ? GetParent(hwnd) : nullptr;
    auto brush = parent ? reinterpret_cast<HBRUSH>(SendMessageA(parent, WM_CTLCOLOREDIT,
                                                                reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(hwnd)))
                        : nullptr;
    if (!brush)
        brush = reinterpret_cast<HBRUSH>(DefWindowProcA(
            hwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, brush);
    HGDIOBJ oldFont = selectFont(dc, e);
    Layout l = layout(hwnd, dc, e);
    std::string s = shown(hwnd, e);
    IntersectClipRect(dc, l.format.left, l.format.top, l.format.right, l.format.bottom);
    int oldMode = SetBkMode(dc, OPAQUE);
    bool showSelection = e.focused || (styleOf(hwnd) & ES_NOHIDESEL);
    std::size_t a = showSelection ? selStart(e) : 0, b = showSelection ? selEnd(e) : 0;
    const int y = l.format.top;
    drawRun(dc, s, 0, a, l.x0, y);
    drawRun(dc, s, b, s.size(), l.x0, y);
    if (b > a) {
        COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        drawRun(dc, s, a, b, l.x0, y);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
    }
    if (e.focused) {
        int x = l.x0 + extent(dc, s, e.caret);
        HBRUSH caret = CreateSolidBrush(GetTextColor(dc));
        RECT r{x, y, x + 1, y + l.height};
        FillRect(dc, &r, caret);
        DeleteObject(caret);
    }
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

// Replaces the selection with as much of `insert` as the limit allows; false (and
// EN_MAXTEXT) when something had to be left out.
bool replaceSelection(HWND hwnd, Edit& e, std::string insert) {
    DWORD style = styleOf(hwnd);
    if (style & ES_UPPERCASE)
        for (char& c : insert)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (style & ES_LOWERCASE)
        for (char& c : insert)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::size_t a = selStart(e), b = selEnd(e);
    std::size_t keep = e.text.size() - (b - a);
    std::size_t room = keep < e.limit ? e.limit - keep : 0;
    bool complete = insert.size() <= room;
    insert.resize(std::min(insert.size(), room));
    if (!(style & ES_AUTOHSCROLL) && !insert.empty()) {
        // Without automatic scrolling the text must fit the control.
        HDC dc = GetDC(hwnd);
        HGDIOBJ old = selectFont(dc, e);
        RECT client;
        GetClientRect(hwnd, &client);
        int avail = widthOf(client) - e.leftMargin - e.rightMargin;
        while (!insert.empty()) {
            std::string next = e.text.substr(0, a) + insert + e.text.substr(b);
            if (extent(dc, next, next.size()) <= avail) break;
            insert.pop_back();
            complete = false;
        }
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
    }
    if (!complete) notifyParent(hwnd, EN_MAXTEXT);
    if (insert.empty() && a == b) return complete;
    e.text.replace(a, b - a, insert);
    e.anchor = e.caret = a + insert.size();
    changed(hwnd);
    return complete;
}

bool isWordChar(char c) {
    return !std::isspace(static_cast<unsigned char>(c));
}

std::size_t wordLeft(const std::string& s, std::size_t i) {
    while (i > 0 && !isWordChar(s[i - 1]))
        --i;
    while (i > 0 && isWordChar(s[i - 1]))
        --i;
    return i;
}

std::size_t wordRight(const std::string& s, std::size_t i) {
    while (i < s.size() && isWordChar(s[i]))
        ++i;
    while (i < s.size() && !isWordChar(s[i]))
        ++i;
    return i;
}

void moveCaret(HWND hwnd, Edit& e, std::size_t to, bool extend) {
    e.caret = to;
    if (!extend) e.anchor = to;
    InvalidateRect(hwnd, nullptr, TRUE);
}

void keyDown(HWND hwnd, Edit& e, int vk) {
    bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
    const std::string& s = e.text;
    switch (vk) {
    case VK_LEFT:
        moveCaret(hwnd, e, control ? wordLeft(s, e.caret) : (e.caret ? e.caret - 1 : 0), shift);
        break;
    case VK_RIGHT:
        moveCaret(hwnd, e, control ? wordRight(s, e.caret) : std::min(e.caret + 1, s.size()),
                  shift);
        break;
    case VK_HOME:
        moveCaret(hwnd, e, 0, shift);
        break;
    case VK_END:
        moveCaret(hwnd, e, s.size(), shift);
        break;
    case VK_DELETE:
        if (styleOf(hwnd) & ES_READONLY) break;
        if (e.anchor == e.caret && e.caret < s.size()) e.anchor = e.caret + 1;
        replaceSelection(hwnd, e, "");
        break;
    default:
        break;
    }
}

void character(HWND hwnd, Edit& e, unsigned char c) {
    DWORD style = styleOf(hwnd);
    if (style & ES_READONLY) return;
    if (c == '\b') {
        if (e.anchor == e.caret && e.caret > 0) e.anchor = e.caret - 1;
        replaceSelection(hwnd, e, "");
        return;
    }
    if (c < 0x20 || c == 0x7F) return; // Enter, Tab, Escape and control keys do not edit
    if ((style & ES_NUMBER) && !std::isdigit(c)) return;
    replaceSelection(hwnd, e, std::string(1, static_cast<char>(c)));
}

void setSel(HWND hwnd, Edit& e, WPARAM wStart, LPARAM lEnd) {
    auto start = static_cast<long long>(static_cast<int>(wStart));
    auto end = static_cast<long long>(static_cast<int>(lEnd));
    auto len = static_cast<long long>(e.text.size());
    if (start == -1) {
        e.anchor = e.caret; // deselect
    } else {
        if (end < 0 || end > len) end = len;
        start = std::clamp(start, 0LL, len);
        e.anchor = static_cast<std::size_t>(start);
        e.caret = static_cast<std::size_t>(end);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
}

LRESULT getText(const Edit& e, WPARAM max, LPARAM out) {
    auto* buffer = reinterpret_cast<char*>(out);
    if (!buffer || max == 0) return 0;
    std::size_t n = std::min<std::size_t>(e.text.size(), max - 1);
    e.text.copy(buffer, n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

} // namespace

LRESULT CALLBACK editWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* e = new Edit;
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) e->text = cs->lpszName;
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(e));
        return TRUE;
    }
    Edit* e = editOf(hwnd);
    if (!e) return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, 0, 0);
        delete e;
        return 0;
    case WM_SETTEXT:
        e->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        e->anchor = e->caret = 0;
        e->scroll = 0;
        changed(hwnd);
        return TRUE;
    case WM_GETTEXT:
        return getText(*e, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(e->text.size());
    case WM_SETFONT:
        e->font = reinterpret_cast<HFONT>(wParam);
        e->leftMargin = e->rightMargin = kFontMargin;
        if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(e->font);
    case EM_SETMARGINS:
        if (wParam == EC_USEFONTINFO) {
            e->leftMargin = e->rightMargin = kFontMargin;
        } else {
            if (wParam & EC_LEFTMARGIN) e->leftMargin = LOWORD(lParam);
            if (wParam & EC_RIGHTMARGIN) e->rightMargin = HIWORD(lParam);
        }
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case EM_GETMARGINS:
        return MAKELRESULT(e->leftMargin, e->rightMargin);
    case EM_SETSEL:
        setSel(hwnd, *e, wParam, lParam);
        return 0;
    case EM_GETSEL: {
        auto a = static_cast<DWORD>(selStart(*e)), b = static_cast<DWORD>(selEnd(*e));
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = a;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = b;
        return (a > 0xFFFF || b > 0xFFFF) ? -1 : MAKELRESULT(a, b);
    }
    case EM_REPLACESEL:
        replaceSelection(hwnd, *e, lParam ? reinterpret_cast<const char*>(lParam) : "");
        return 0;
    case EM_LIMITTEXT:
        e->limit = wParam ? wParam : 0x7FFFFFFE;
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(e->limit);
    case EM_SETREADONLY: {
        DWORD style = styleOf(hwnd);
        style = wParam ? (style | ES_READONLY) : (style & ~static_cast<DWORD>(ES_READONLY));
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case EM_GETLINECOUNT:
        return 1;
    case EM_LINELENGTH:
        return static_cast<LRESULT>(e->text.size());
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_CHAR:
        character(hwnd, *e, static_cast<unsigned char>(wParam));
        return 0;
    case WM_KEYDOWN:
        keyDown(hwnd, *e, static_cast<int>(wParam));
        return 0;
    case WM_SETFOCUS:
        e->focused = true;
        InvalidateRect(hwnd, nullptr, TRUE);
        notifyParent(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        e->focused = false;
        e->selecting = false;
        InvalidateRect(hwnd, nullptr, TRUE);
        notifyParent(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN: {
        if (GetFocus() != hwnd) SetFocus(hwnd);
        e = editOf(hwnd); // focus handlers may have destroyed the control
        if (!e) return 0;
        bool extend = (wParam & MK_SHIFT) != 0;
        moveCaret(hwnd, *e, hitTest(hwnd, *e, static_cast<short>(LOWORD(lParam))), extend);
        e->selecting = true;
        SetCapture(hwnd);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (e->selecting && (wParam & MK_LBUTTON))
            moveCaret(hwnd, *e, hitTest(hwnd, *e, static_cast<short>(LOWORD(lParam))), true);
        return 0;
    case WM_LBUTTONUP:
        if (e->selecting) {
            e->selecting = false;
            if (GetCapture() == hwnd) ReleaseCapture();
        }
        return 0;
    case WM_LBUTTONDBLCLK: {
        std::size_t at = hitTest(hwnd, *e, static_cast<short>(LOWORD(lParam)));
        e->anchor = wordLeft(e->text, std::min(at + 1, e->text.size()));
        std::size_t end = at;
        while (end < e->text.size() && isWordChar(e->text[end]))
            ++end;
        e->caret = end;
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case WM_PAINT:
        paint(hwnd, *e);
        return 0;
    case WM_ERASEBKGND:
        return 1; // WM_PAINT fills the whole control
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace kavet::user
