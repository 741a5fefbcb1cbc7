// Window classes and windows: registration errors and use, creation and destruction
// order, the window tree and its coordinates, window data and subclassing.
#include "recorder.h"

#include <cstdint>

using namespace kavet;
using namespace kavet::test;

namespace {

WNDCLASSA classNamed(const char* name, HINSTANCE instance, UINT style = 0) {
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = recorderProc;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    return wc;
}

} // namespace

TEST_F(WindowTest, ClassRegistrationAnswersWin32Errors) {
    HINSTANCE a = reinterpret_cast<HINSTANCE>(0x7000), b = reinterpret_cast<HINSTANCE>(0x8000);
    WNDCLASSA local = classNamed("TemplateLocal", a);
    ASSERT_NE(RegisterClassA(&local), 0);
    struct Case {
        WNDCLASSA wc;
        bool ok;
        DWORD error;
    } cases[] = {
        {classNamed("TemplateLocal", a), false, ERROR_CLASS_ALREADY_EXISTS},
        {classNamed("templatelocal", a), false, ERROR_CLASS_ALREADY_EXISTS}, // names ignore case
        {classNamed("TemplateLocal", b), true, 0}, // another module's class of that name
        {classNamed("Plugin7000", a, CS_GLOBALCLASS), true, 0},
        {classNamed("Plugin7000", b, CS_GLOBALCLASS), false, ERROR_CLASS_ALREADY_EXISTS},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        ATOM atom = RegisterClassA(&c.wc);
        EXPECT_EQ(atom != 0, c.ok) << c.wc.lpszClassName;
        if (!c.ok) {
            EXPECT_EQ(GetLastError(), c.error) << c.wc.lpszClassName;
        }
    }
    EXPECT_TRUE(UnregisterClassA("TemplateLocal", a));
    EXPECT_TRUE(UnregisterClassA("TemplateLocal", b));
    EXPECT_TRUE(UnregisterClassA("Plugin7000", a));
    EXPECT_FALSE(UnregisterClassA("TemplateLocal", a));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
}

TEST_F(WindowTest, ClassWithWindowsCannotBeUnregisteredUntilTheLastIsGone) {
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(0x9000);
    WNDCLASSA wc = classNamed("Plugin9000", inst, CS_GLOBALCLASS);
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND parent = top(0, 0, 100, 100);
    HWND w1 = CreateWindowExA(0, "Plugin9000", "Window", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                              parent, nullptr, inst, nullptr);
    HWND w2 = CreateWindowExA(0, "PLUGIN9000", "Window", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                              inst, nullptr);
    ASSERT_TRUE(w1 && w2);
    EXPECT_FALSE(UnregisterClassA("Plugin9000", inst));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(w1);
    EXPECT_FALSE(UnregisterClassA("Plugin9000", inst));
    DestroyWindow(w2);
    EXPECT_TRUE(UnregisterClassA("Plugin9000", inst));
    // Gone for good: no more windows of it, and it can be registered again.
    EXPECT_EQ(
        CreateWindowExA(0, "Plugin9000", "", WS_CHILD, 0, 0, 1, 1, parent, nullptr, inst, nullptr),
        nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_NE(RegisterClassA(&wc), 0);
    EXPECT_TRUE(UnregisterClassA("Plugin9000", inst));
}

TEST_F(WindowTest, CreationSendsNcCreateCreateSizeMoveThenShow) {
    HWND parent = top(0, 0, 200, 200);
    seen().clear();
    HWND w = child(parent, 5, 6, 30, 40);
    std::vector<UINT> expected{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW};
    EXPECT_EQ(messagesOf(w), expected);
    EXPECT_EQ(seen()[2].lParam, MAKELPARAM(30, 40));
    EXPECT_EQ(seen()[3].lParam, MAKELPARAM(5, 6));
    char text[16];
    EXPECT_EQ(GetWindowTextA(w, text, sizeof text), 5);
    EXPECT_STREQ(text, "child");
    // Above every X11 window id (29 bits): a module tells the host's window from its own.
    for (HWND h : {parent, w})
        EXPECT_GT(reinterpret_cast<std::uintptr_t>(h), 0x1FFFFFFFu);
}

TEST_F(WindowTest, CreateFailsWithoutParentForChildOrWhenCreateRefuses) {
    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, "KavetRecorder", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr,
                              testInstance(), nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));
    answers()[WM_CREATE] = -1;
    seen().clear();
    HWND w = top(0, 0, 10, 10);
    EXPECT_EQ(w, nullptr);
    EXPECT_EQ(messagesOf(nullptr, {WM_DESTROY, WM_NCDESTROY}),
              (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(WindowTest, DestroyGoesParentFirstThenNcDestroyChildrenFirst) {
    HWND parent = top(0, 0, 100, 100);
    HWND kid = child(parent, 0, 0, 10, 10);
    HWND grandchild = child(kid, 0, 0, 5, 5);
    seen().clear();
    EXPECT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> order;
    for (const Seen& s : seen())
        if (s.message == WM_DESTROY || s.message == WM_NCDESTROY)
            order.emplace_back(s.hwnd, s.message);
    std::vector<std::pair<HWND, UINT>> expected{
        {parent, WM_DESTROY},       {kid, WM_DESTROY},   {grandchild, WM_DESTROY},
        {grandchild, WM_NCDESTROY}, {kid, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    for (HWND h : {parent, kid, grandchild})
        EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(DestroyWindow(parent));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    HWND again = top(0, 0, 10, 10);
    EXPECT_NE(again, parent); // handles are not reused
}

TEST_F(WindowTest, RectanglesAndCoordinatesFollowTheTree) {
    HWND parent = top(100, 50, 300, 200);
    HWND kid = child(parent, 10, 20, 50, 40);
    HWND grandchild = child(kid, 3, 4, 7, 8);
    struct Case {
        HWND hwnd;
        RECT window;
    } cases[] = {{parent, {100, 50, 400, 250}},
                 {kid, {110, 70, 160, 110}},
                 {grandchild, {113, 74, 120, 82}}};
    for (const Case& c : cases) {
        RECT r, client;
        ASSERT_TRUE(GetWindowRect(c.hwnd, &r));
        ASSERT_TRUE(GetClientRect(c.hwnd, &client));
        EXPECT_EQ(std::tie(r.left, r.top, r.right, r.bottom),
                  std::tie(c.window.left, c.window.top, c.window.right, c.window.bottom));
        EXPECT_EQ(client.left, 0);
        EXPECT_EQ(client.top, 0);
        EXPECT_EQ(client.right, c.window.right - c.window.left);
        EXPECT_EQ(client.bottom, c.window.bottom - c.window.top);
    }
    POINT p{1, 2};
    ClientToScreen(grandchild, &p);
    EXPECT_EQ(p.x, 114);
    EXPECT_EQ(p.y, 76);
    ScreenToClient(kid, &p);
    EXPECT_EQ(p.x, 4);
    EXPECT_EQ(p.y, 6);
    EXPECT_EQ(GetParent(grandchild), kid);
    EXPECT_EQ(GetParent(kid), parent);
    EXPECT_EQ(GetParent(parent), nullptr);
    EXPECT_TRUE(IsChild(parent, grandchild));
    EXPECT_FALSE(IsChild(grandchild, parent));
    EXPECT_EQ(WindowFromPoint(POINT{115, 75}), grandchild);
    EXPECT_EQ(WindowFromPoint(POINT{120, 75}), kid); // right edge of the grandchild is outside
    EXPECT_EQ(WindowFromPoint(POINT{99, 75}), nullptr);
}

TEST_F(WindowTest, SetWindowPosMovesAndSizesWithMessages) {
    HWND parent = top(0, 0, 200, 200);
    HWND kid = child(parent, 10, 10, 20, 20);
    struct Case {
        int x, y, cx, cy;
        UINT flags;
        RECT expected;
        std::vector<UINT> messages;
    } cases[] = {
        {30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER, {30, 40, 50, 60}, {WM_MOVE}},
        {0, 0, 60, 70, SWP_NOMOVE | SWP_NOZORDER, {30, 40, 90, 110}, {WM_SIZE}},
        {5, 6, 7, 8, SWP_NOZORDER, {5, 6, 12, 14}, {WM_MOVE, WM_SIZE}},
        {5, 6, 7, 8, SWP_NOZORDER, {5, 6, 12, 14}, {}},
    };
    for (const Case& c : cases) {
        seen().clear();
        ASSERT_TRUE(SetWindowPos(kid, nullptr, c.x, c.y, c.cx, c.cy, c.flags));
        RECT r;
        GetWindowRect(kid, &r);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
        EXPECT_EQ(messagesOf(kid, {WM_MOVE, WM_SIZE}), c.messages);
    }
    EXPECT_EQ(driver::capture(kid).width, 7); // the surface follows the size
}

TEST_F(WindowTest, UserDataExtraBytesAndSubclassing) {
    HWND w = top(0, 0, 10, 10);
    int object = 0;
    SetLastError(5);
    EXPECT_EQ(SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&object)), 0);
    EXPECT_EQ(GetLastError(), 0u); // so a previous value of 0 can be told from a failure
    EXPECT_EQ(GetWindowLongPtrA(w, GWL_USERDATA), reinterpret_cast<LONG_PTR>(&object));
    EXPECT_EQ(GetWindowLongPtrA(w, GWL_STYLE) & WS_POPUP, static_cast<LONG_PTR>(WS_POPUP));
    EXPECT_EQ(GetWindowLongPtrA(w, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX)); // no extra bytes

    // Subclassing: the new procedure sees the message first and hands it on.
    static WNDPROC previous;
    static std::vector<UINT> order;
    order.clear();
    previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        w, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_USER) order.push_back(1);
            return CallWindowProcA(previous, h, m, wp, lp);
        })));
    EXPECT_EQ(previous, &recorderProc);
    answers()[WM_USER] = 42;
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 42);
    order.push_back(seen().back().message == WM_USER ? 2 : 0);
    EXPECT_EQ(order, (std::vector<UINT>{1, 2}));
    // Restoring the procedure ends the subclass.
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    SendMessageA(w, WM_USER, 0, 0);
    EXPECT_EQ(order.size(), 2u);
}

TEST_F(WindowTest, WindowTextIsCutToTheBuffer) {
    HWND w = top(0, 0, 10, 10);
    ASSERT_TRUE(SetWindowTextA(w, "Kavet Stereo"));
    EXPECT_EQ(GetWindowTextLengthA(w), 12);
    char buf[6] = "xxxxx";
    EXPECT_EQ(GetWindowTextA(w, buf, 6), 5);
    EXPECT_STREQ(buf, "Kavet");
    EXPECT_EQ(GetWindowTextA(w, buf, 1), 0);
    EXPECT_STREQ(buf, "");
}

TEST_F(WindowTest, VisibilityFollowsParentsAndShowWindowReportsThePreviousState) {
    HWND parent = top(0, 0, 50, 50, 0);
    HWND kid = child(parent, 0, 0, 10, 10);
    EXPECT_FALSE(IsWindowVisible(kid)); // the parent is hidden
    EXPECT_FALSE(ShowWindow(parent, SW_SHOWNORMAL));
    EXPECT_TRUE(IsWindowVisible(kid));
    EXPECT_TRUE(ShowWindow(kid, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(kid));
    EXPECT_FALSE(ShowWindow(kid, SW_HIDE));
}

TEST(PlatformServices, VersionReportsAnNtPlatform) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_GT(info.dwPlatformId, 1u); // the test the toolkit makes before using TransparentBlt
    info.dwOSVersionInfoSize = sizeof info - 1;
    EXPECT_FALSE(GetVersionExA(&info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(PlatformServices, LastErrorAndThreadIdBelongToTheThread) {
    SetLastError(1410);
    DWORD other = 0, otherError = 99;
    std::thread([&] {
        otherError = GetLastError();
        other = GetCurrentThreadId();
    }).join();
    EXPECT_EQ(otherError, 0u);
    EXPECT_NE(other, GetCurrentThreadId());
    EXPECT_NE(other, 0u);
    EXPECT_EQ(GetLastError(), 1410u);
}

TEST(PlatformServices, StockCursorsAndIcons) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    EXPECT_NE(arrow, nullptr);
    EXPECT_NE(wait, nullptr);
    EXPECT_NE(arrow, wait);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
    HCURSOR before = SetCursor(wait);
    EXPECT_EQ(SetCursor(arrow), wait);
    SetCursor(before);
    int base = ShowCursor(TRUE) - 1;
    EXPECT_EQ(ShowCursor(FALSE), base);
    EXPECT_EQ(ShowCursor(FALSE), base - 1);
    EXPECT_EQ(ShowCursor(TRUE), base);
}
