// The built-in "EDIT" control: editing keys and selection, the typing limit, text read
// back through a short buffer, WM_CTLCOLOREDIT, WM_GETDLGCODE and notifications.
#include "recorder.h"

using namespace kavet;
using namespace kavet::test;

namespace {

class EditTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent_ = top(0, 0, 200, 100);
        edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 120,
                                20, parent_, reinterpret_cast<HMENU>(7), testInstance(), nullptr);
        ASSERT_NE(edit_, nullptr);
        created_.push_back(edit_);
        SetFocus(edit_);
        driver::pump();
        seen().clear();
    }
    std::string text() {
        char buf[1024];
        GetWindowTextA(edit_, buf, sizeof buf);
        return buf;
    }
    std::pair<DWORD, DWORD> selection() {
        DWORD a = 99, b = 99;
        SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        return {a, b};
    }
    HWND parent_ = nullptr, edit_ = nullptr;
};

struct Stroke {
    int vk; // a key, or 0 for a character
    unsigned mods;
    char c;
};
Stroke k(int vk, unsigned mods = 0) {
    return {vk, mods, 0};
}
Stroke ch(char c) {
    return {0, 0, c};
}

} // namespace

TEST_F(EditTest, EditingKeysChangeTextAndSelection) {
    struct Case {
        const char* initial;
        int selStart, selEnd;
        std::vector<Stroke> strokes;
        const char* text;
        DWORD a, b;
    } cases[] = {
        {"hello", 5, 5, {ch('\b')}, "hell", 4, 4},
        {"hello", 0, 5, {ch('x')}, "x", 1, 1},  // typing replaces the selection
        {"hello", 0, -1, {ch('\b')}, "", 0, 0}, // -1 selects to the end
        {"hello", 2, 2, {k(VK_DELETE)}, "helo", 2, 2},
        {"hello", 5, 5, {k(VK_DELETE)}, "hello", 5, 5}, // nothing after the caret
        {"hello", 0, 0, {ch('\b')}, "hello", 0, 0},     // nothing before it
        {"hello", 5, 5, {k(VK_HOME), ch('>')}, ">hello", 1, 1},
        {"hello", 0, 0, {k(VK_END), ch('!')}, "hello!", 6, 6},
        {"hello",
         5,
         5,
         {k(VK_LEFT, driver::Shift), k(VK_LEFT, driver::Shift), k(VK_DELETE)},
         "hel",
         3,
         3},
        {"hello", 1, 1, {k(VK_RIGHT), k(VK_END, driver::Shift)}, "hello", 2, 5},
        {"hello", 0, 5, {k(VK_LEFT)}, "hello", 4, 4}, // moves from the caret
        {"one two", 7, 7, {k(VK_LEFT, driver::Control), ch('X')}, "one Xtwo", 5, 5},
        {"one two", 0, 0, {k(VK_RIGHT, driver::Control), ch('X')}, "one Xtwo", 5, 5},
        {"abc", 3, 3, {ch('\r'), ch('\t'), ch(0x1B)}, "abc", 3, 3},  // no control characters
        {"12", 2, 2, {k('3'), k('A', driver::Shift)}, "123A", 4, 4}, // typed keys through pump
    };
    for (const Case& c : cases) {
        SetWindowTextA(edit_, c.initial);
        SendMessageA(edit_, EM_SETSEL, static_cast<WPARAM>(c.selStart),
                     static_cast<LPARAM>(c.selEnd));
        for (const Stroke& s : c.strokes) {
            if (s.vk)
                driver::key(s.vk, s.mods);
            else
                driver::typeChar(s.c);
        }
        driver::pump();
        EXPECT_EQ(text(), c.text) << c.initial;
        EXPECT_EQ(selection(), std::make_pair(c.a, c.b)) << c.initial;
    }
}

TEST_F(EditTest, TypingStopsAtTheLimitAndReadingBackWithA255BufferGives254) {
    SendMessageA(edit_, EM_LIMITTEXT, 255, 0);
    EXPECT_EQ(SendMessageA(edit_, EM_GETLIMITTEXT, 0, 0), 255);
    std::string typed(300, 'a');
    for (char& c : typed)
        c = static_cast<char>('a' + (&c - typed.data()) % 26);
    for (char c : typed)
        driver::typeChar(c);
    driver::pump();
    std::string full = text();
    EXPECT_EQ(full, typed.substr(0, 255));
    EXPECT_EQ(GetWindowTextLengthA(edit_), 255);
    // EN_MAXTEXT for each refused character, as WM_COMMAND to the parent with the id.
    int maxText = 0;
    for (const Seen& s : seen())
        if (s.hwnd == parent_ && s.message == WM_COMMAND && HIWORD(s.wParam) == EN_MAXTEXT &&
            LOWORD(s.wParam) == 7 && reinterpret_cast<HWND>(s.lParam) == edit_)
            ++maxText;
    EXPECT_EQ(maxText, 45);
    char buf[255];
    EXPECT_EQ(GetWindowTextA(edit_, buf, 255), 254);
    EXPECT_EQ(std::string(buf), typed.substr(0, 254));
    // Replacing a selection works at the limit; the limit does not bind WM_SETTEXT.
    SendMessageA(edit_, EM_SETSEL, 0, 1);
    driver::typeChar('Z');
    driver::pump();
    EXPECT_EQ(text()[0], 'Z');
    SetWindowTextA(edit_, std::string(300, 'q').c_str());
    EXPECT_EQ(GetWindowTextLengthA(edit_), 300);
    SendMessageA(edit_, EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessageA(edit_, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(EditTest, AnswersDialogCodesMarginsAndFont) {
    EXPECT_EQ(SendMessageA(edit_, WM_GETDLGCODE, 0, 0),
              DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
    LOGFONTA lf{};
    lf.lfHeight = -12;
    std::strcpy(lf.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&lf);
    SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(SendMessageA(edit_, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
    SendMessageA(edit_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 0));
    EXPECT_EQ(SendMessageA(edit_, EM_GETMARGINS, 0, 0), 0);
    SendMessageA(edit_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELONG(9, 5));
    EXPECT_EQ(SendMessageA(edit_, EM_GETMARGINS, 0, 0), MAKELONG(0, 5));
    DestroyWindow(edit_);
    DeleteObject(font);
}

namespace {
HBRUSH g_back;
LRESULT CALLBACK colouringParent(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_CTLCOLOREDIT) {
        seen().push_back({h, m, w, l});
        SetTextColor(reinterpret_cast<HDC>(w), RGB(255, 255, 0));
        SetBkColor(reinterpret_cast<HDC>(w), RGB(0, 0, 128));
        return reinterpret_cast<LRESULT>(g_back);
    }
    return DefWindowProcA(h, m, w, l);
}
} // namespace

TEST_F(EditTest, PaintsWithTheColoursThatTheParentAnswers) {
    SetWindowLongPtrA(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(colouringParent));
    g_back = CreateSolidBrush(RGB(0, 0, 128));
    SetWindowTextA(edit_, "88");
    SendMessageA(edit_, EM_SETSEL, 2, 2);
    seen().clear();
    driver::pump();
    ASSERT_FALSE(seen().empty());
    EXPECT_EQ(seen()[0].message, static_cast<UINT>(WM_CTLCOLOREDIT));
    EXPECT_EQ(reinterpret_cast<HWND>(seen()[0].lParam), edit_);
    driver::Image img = driver::capture(parent_);
    // Inside the edit: background navy, some yellow text pixels; outside: untouched.
    int yellow = 0, navy = 0, other = 0;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 130; ++x) {
            std::uint32_t p = img.rgb(x, y);
            if (p == 0xFFFF00)
                ++yellow;
            else if (p == 0x000080)
                ++navy;
            else
                ++other;
        }
    EXPECT_GT(yellow, 10);
    EXPECT_GT(navy, 20 * 100);
    EXPECT_LE(other, 20); // the caret (text colour) and nothing else
    EXPECT_NE(img.rgb(9, 9), 0x000080u);
    EXPECT_NE(img.rgb(130, 30), 0x000080u);
    SetWindowLongPtrA(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recorderProc));
    DeleteObject(g_back);
}

TEST_F(EditTest, FocusChangesNotifyTheParent) {
    HWND other = child(parent_, 150, 10, 20, 20);
    SetFocus(other);
    SetFocus(edit_);
    std::vector<WORD> codes;
    for (const Seen& s : seen())
        if (s.hwnd == parent_ && s.message == WM_COMMAND) codes.push_back(HIWORD(s.wParam));
    EXPECT_EQ(codes, (std::vector<WORD>{EN_KILLFOCUS, EN_SETFOCUS}));
}

namespace {
WNDPROC g_editProc;
int g_returns;
LRESULT CALLBACK subclassed(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_KEYDOWN && w == VK_RETURN) ++g_returns;
    if (m == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    return CallWindowProcA(g_editProc, h, m, w, l);
}
} // namespace

TEST_F(EditTest, SubclassSeesReturnAndTheControlKeepsEditing) {
    g_returns = 0;
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassed)));
    ASSERT_NE(g_editProc, nullptr);
    EXPECT_EQ(SendMessageA(edit_, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
    driver::typeText("-6.5\r");
    driver::pump();
    EXPECT_EQ(g_returns, 1);
    EXPECT_EQ(text(), "-6.5");
}

TEST_F(EditTest, ClickPlacesTheCaret) {
    SetWindowTextA(edit_, "0000000000");
    HDC dc = GetDC(edit_);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SIZE three;
    GetTextExtentPoint32A(dc, "000", 3, &three);
    ReleaseDC(edit_, dc);
    driver::moveTo(edit_, 1 + three.cx, 5); // left margin 1: between the 3rd and 4th digit
    driver::press();
    driver::release();
    driver::pump();
    EXPECT_EQ(selection(), std::make_pair(DWORD{3}, DWORD{3}));
}
