// Input state and input messages, mouse and keyboard hooks, time on the virtual clock.
#include "recorder.h"

using namespace kavet;
using namespace kavet::test;

TEST_F(WindowTest, AsyncKeyStateSetsTheHighBitWhileDown) {
    struct Case {
        int vk;
        std::function<void(bool)> set;
    } cases[] = {
        {VK_LBUTTON,
         [](bool d) {
             d ? driver::press(driver::Button::Left) : driver::release(driver::Button::Left);
         }},
        {VK_RBUTTON,
         [](bool d) {
             d ? driver::press(driver::Button::Right) : driver::release(driver::Button::Right);
         }},
        {VK_MBUTTON,
         [](bool d) {
             d ? driver::press(driver::Button::Middle) : driver::release(driver::Button::Middle);
         }},
        {VK_SHIFT, [](bool d) { driver::setModifiers(d ? driver::Shift : driver::NoModifier); }},
        {VK_CONTROL,
         [](bool d) { driver::setModifiers(d ? driver::Control : driver::NoModifier); }},
        {VK_MENU, [](bool d) { driver::setModifiers(d ? driver::Alt : driver::NoModifier); }},
        {'A', [](bool d) { d ? driver::keyDown('A') : driver::keyUp('A'); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetAsyncKeyState(c.vk), 0) << c.vk;
        c.set(true);
        EXPECT_EQ(GetAsyncKeyState(c.vk) & 0x8000, 0x8000) << c.vk;
        EXPECT_LT(GetAsyncKeyState(c.vk), 0) << c.vk;
        c.set(false);
        EXPECT_EQ(GetAsyncKeyState(c.vk), 0) << c.vk;
    }
    EXPECT_EQ(GetAsyncKeyState(0), 0);
    EXPECT_EQ(GetAsyncKeyState(300), 0);
}

TEST_F(WindowTest, MouseMessagesCarryClientPointAndKeyFlags) {
    HWND parent = top(100, 100, 200, 200);
    HWND kid = child(parent, 50, 60, 40, 40);
    driver::moveToScreen(155, 167);
    driver::press(driver::Button::Left, driver::Shift | driver::Control);
    driver::release(driver::Button::Left);
    driver::setModifiers(0);
    driver::pump();
    std::vector<Seen> mouse;
    for (const Seen& s : seen())
        if (s.message >= WM_MOUSEFIRST && s.message <= WM_MOUSELAST) mouse.push_back(s);
    ASSERT_EQ(mouse.size(), 3u);
    EXPECT_EQ(mouse[0].hwnd, kid);
    EXPECT_EQ(mouse[1].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(mouse[1].lParam, MAKELPARAM(5, 7));
    EXPECT_EQ(mouse[1].wParam, static_cast<WPARAM>(MK_LBUTTON | MK_SHIFT | MK_CONTROL));
    EXPECT_EQ(mouse[2].message, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(mouse[2].wParam, static_cast<WPARAM>(MK_SHIFT | MK_CONTROL));
}

TEST_F(WindowTest, SwappedButtonsSendLogicalMessagesButAsyncStateIsPhysical) {
    HWND w = top(0, 0, 50, 50);
    driver::setSwapButtons(true);
    EXPECT_EQ(GetSystemMetrics(SM_SWAPBUTTON), 1);
    driver::moveTo(w, 1, 1);
    driver::press(driver::Button::Left);
    EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_RBUTTON), 0);
    driver::release(driver::Button::Left);
    driver::pump();
    EXPECT_EQ(messagesOf(w, {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP}),
              (std::vector<UINT>{WM_RBUTTONDOWN, WM_RBUTTONUP}));
    driver::setSwapButtons(false);
    EXPECT_EQ(GetSystemMetrics(SM_SWAPBUTTON), 0);
}

TEST_F(WindowTest, DoubleClicksNeedTheClassStyleTheTimeAndTheRectangle) {
    HWND w = top(0, 0, 100, 100);
    struct Case {
        DWORD gap;
        int dx;
        UINT second;
    } cases[] = {
        {500, 0, WM_LBUTTONDBLCLK}, // the double-click time itself still counts
        {501, 0, WM_LBUTTONDOWN},
        {100, 2, WM_LBUTTONDBLCLK}, // half of SM_CXDOUBLECLK (4) either way
        {100, 3, WM_LBUTTONDOWN},
    };
    for (const Case& c : cases) {
        driver::advance(2000);
        seen().clear();
        driver::moveTo(w, 50, 50);
        driver::press();
        driver::release();
        driver::advance(c.gap);
        driver::moveTo(w, 50 + c.dx, 50);
        driver::press();
        driver::release();
        driver::pump();
        auto downs = messagesOf(w, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK});
        ASSERT_EQ(downs.size(), 2u);
        EXPECT_EQ(downs[1], c.second) << c.gap << " ms, " << c.dx << " px";
    }
}

TEST_F(WindowTest, KeyStateFollowsRetrievedMessagesWhileAsyncStateIsImmediate) {
    HWND w = top(0, 0, 10, 10);
    SetFocus(w);
    driver::keyDown(VK_SHIFT);
    EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0); // not retrieved yet
    driver::pump();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    driver::keyUp(VK_SHIFT);
    driver::pump();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    driver::key(VK_CAPITAL);
    driver::pump();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1); // toggled
}

TEST_F(WindowTest, TranslateMessageTurnsKeysIntoCharacters) {
    HWND w = top(0, 0, 10, 10);
    SetFocus(w);
    driver::typeText("aB1!;\r");
    driver::pump();
    std::string chars;
    for (const Seen& s : seen())
        if (s.message == WM_CHAR) chars += static_cast<char>(s.wParam);
    EXPECT_EQ(chars, "aB1!;\r");
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0); // typing leaves Shift up
}

TEST_F(WindowTest, WheelGoesToTheFocusAndUnhandledToTheParent) {
    HWND parent = top(10, 10, 100, 100);
    HWND kid = child(parent, 0, 0, 50, 50);
    SetFocus(kid);
    driver::moveToScreen(30, 40);
    driver::wheel(-240);
    driver::pump();
    std::vector<Seen> wheels;
    for (const Seen& s : seen())
        if (s.message == WM_MOUSEWHEEL) wheels.push_back(s);
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(wheels[0].hwnd, kid);
    EXPECT_EQ(wheels[1].hwnd, parent); // DefWindowProcA passes it up
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), -240);
    EXPECT_EQ(wheels[0].lParam, MAKELPARAM(30, 40)); // screen coordinates
}

namespace {
struct HookSeen {
    int hook;
    WPARAM message;
    HWND hwnd;
    POINT pt;
    DWORD mouseData;
};
std::vector<HookSeen> g_hookSeen;
HHOOK g_first, g_second;
LRESULT g_secondAnswer = 0;

LRESULT CALLBACK firstHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* mh = reinterpret_cast<MOUSEHOOKSTRUCTEX*>(lParam);
    if (code >= 0) g_hookSeen.push_back({1, wParam, mh->hwnd, mh->pt, mh->mouseData});
    return CallNextHookEx(g_first, code, wParam, lParam);
}

LRESULT CALLBACK secondHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* mh = reinterpret_cast<MOUSEHOOKSTRUCTEX*>(lParam);
    if (code < 0) return CallNextHookEx(g_second, code, wParam, lParam);
    g_hookSeen.push_back({2, wParam, mh->hwnd, mh->pt, mh->mouseData});
    if (wParam == WM_MOUSEWHEEL && g_secondAnswer) return g_secondAnswer;
    return CallNextHookEx(g_second, code, wParam, lParam);
}
} // namespace

TEST_F(WindowTest, MouseHooksSeeWheelMessagesNewestFirstAndCanConsumeThem) {
    HWND host = top(0, 0, 300, 300);
    HWND frame = child(host, 100, 100, 50, 50);
    SetFocus(host); // the host has the keyboard focus; the pointer is over the frame
    g_hookSeen.clear();
    g_first = SetWindowsHookExA(WH_MOUSE, firstHook, testInstance(), 0);
    g_second = SetWindowsHookExA(WH_MOUSE, secondHook, testInstance(), 0);
    ASSERT_TRUE(g_first && g_second);
    driver::moveToScreen(110, 120);
    driver::pump();
    g_hookSeen.clear();
    seen().clear();

    g_secondAnswer = 0; // passed on: both hooks, then the window
    driver::wheel(120);
    driver::pump();
    ASSERT_EQ(g_hookSeen.size(), 2u);
    EXPECT_EQ(g_hookSeen[0].hook, 2);
    EXPECT_EQ(g_hookSeen[1].hook, 1);
    EXPECT_EQ(g_hookSeen[0].message, static_cast<WPARAM>(WM_MOUSEWHEEL));
    EXPECT_EQ(g_hookSeen[0].hwnd, frame); // the window under the pointer
    EXPECT_EQ(g_hookSeen[0].pt.x, 110);
    EXPECT_EQ(g_hookSeen[0].pt.y, 120);
    EXPECT_EQ(static_cast<short>(HIWORD(g_hookSeen[0].mouseData)), 120);
    EXPECT_EQ(messagesOf(host, {WM_MOUSEWHEEL}).size(), 1u);

    g_secondAnswer = -1; // consumed: the older hook and the window see nothing
    g_hookSeen.clear();
    seen().clear();
    driver::wheel(-120);
    driver::pump();
    ASSERT_EQ(g_hookSeen.size(), 1u);
    EXPECT_EQ(static_cast<short>(HIWORD(g_hookSeen[0].mouseData)), -120);
    EXPECT_TRUE(messagesOf(nullptr, {WM_MOUSEWHEEL}).empty());

    EXPECT_TRUE(UnhookWindowsHookEx(g_second));
    EXPECT_FALSE(UnhookWindowsHookEx(g_second));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HOOK_HANDLE));
    g_hookSeen.clear();
    driver::wheel(120);
    driver::pump();
    ASSERT_EQ(g_hookSeen.size(), 1u);
    EXPECT_EQ(g_hookSeen[0].hook, 1);
    EXPECT_TRUE(UnhookWindowsHookEx(g_first));
    EXPECT_EQ(SetWindowsHookExA(5 /* WH_CBT */, firstHook, nullptr, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HOOK_FILTER));
}

TEST_F(WindowTest, VirtualClockAdvancesWithSleepAndTickReads) {
    driver::useVirtualClock(5000, 2);
    EXPECT_EQ(driver::now(), 5000u);
    EXPECT_EQ(GetTickCount(), 5002u);
    EXPECT_EQ(GetTickCount(), 5004u);
    Sleep(100);
    EXPECT_EQ(driver::now(), 5104u);
    std::vector<DWORD> ran;
    driver::Script()
        .at(50)
        .call([&] { ran.push_back(driver::now()); })
        .at(10)
        .call([&] { ran.push_back(driver::now()); })
        .start();
    Sleep(30);
    EXPECT_EQ(ran, (std::vector<DWORD>{5114}));
    Sleep(30);
    EXPECT_EQ(ran, (std::vector<DWORD>{5114, 5154}));
    EXPECT_EQ(driver::now(), 5164u);
}

TEST(PlatformServices, MetricsAndDoubleClickTime) {
    struct Case {
        int index, value;
    } cases[] = {
        {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4}, {SM_CMOUSEBUTTONS, 3}, {SM_MOUSEWHEELPRESENT, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(GetSystemMetrics(c.index), c.value) << c.index;
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    driver::setDoubleClickTime(200);
    EXPECT_EQ(GetDoubleClickTime(), 200u);
    driver::setDoubleClickTime(500);
    EXPECT_EQ(GetDoubleClickTime(), 500u);
}
