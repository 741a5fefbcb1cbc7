// Scripted input on the virtual clock: a modal drag loop of the kind the bitmap controls
// run in their mouse handlers sees exactly the scripted positions and button states.
#include "host_window.h"
#include "recorder.h"

#include <optional>

using namespace kavet;
using namespace kavet::test;

namespace {

struct Poll {
    DWORD time;
    POINT pt;
    bool shift;
};
std::vector<Poll> g_polls;
DWORD g_loopSleep = 10;

// WM_LBUTTONDOWN runs a modal loop: while the left button is down, read the pointer and
// the Shift key, then sleep.
LRESULT CALLBACK dragProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_LBUTTONDOWN) {
        while (GetAsyncKeyState(VK_LBUTTON) & 0x8000) {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(h, &p);
            g_polls.push_back({driver::now(), p, (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0});
            Sleep(g_loopSleep);
        }
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

class DragTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window_.emplace(200, 100, 265, 534, "KavetDrag", dragProc, testInstance());
        hwnd_ = window_->handle();
        driver::useVirtualClock(0, 1);
        driver::pump();
        g_polls.clear();
    }
    void TearDown() override {
        window_.reset();
        WindowTest::TearDown();
    }
    std::optional<kavet::test::HostWindow> window_;
    HWND hwnd_ = nullptr;
};

} // namespace

TEST_F(DragTest, ModalLoopPollsTheScriptedPositionsToTheRelease) {
    g_loopSleep = 10;
    driver::Script()
        .moveTo(hwnd_, 20, 300)
        .press(driver::Button::Left)
        .at(15)
        .moveTo(hwnd_, 20, 290)
        .at(35)
        .modifiers(driver::Shift)
        .at(36)
        .moveTo(hwnd_, 21, 270)
        .at(50)
        .release(driver::Button::Left)
        .at(60)
        .moveTo(hwnd_, 0, 0)
        .start();
    driver::run(100);
    struct Expected {
        DWORD time;
        int x, y;
        bool shift;
    } expected[] = {{0, 20, 300, false},
                    {10, 20, 300, false},
                    {20, 20, 290, false},
                    {30, 20, 290, false},
                    {40, 21, 270, true}};
    ASSERT_EQ(g_polls.size(), std::size(expected));
    for (std::size_t i = 0; i < g_polls.size(); ++i) {
        EXPECT_EQ(g_polls[i].time, expected[i].time) << i;
        EXPECT_EQ(g_polls[i].pt.x, expected[i].x) << i;
        EXPECT_EQ(g_polls[i].pt.y, expected[i].y) << i;
        EXPECT_EQ(g_polls[i].shift, expected[i].shift) << i;
    }
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
    EXPECT_EQ(driver::now(), 100u);
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 200); // the move at t = 60 ran after the loop ended
    EXPECT_EQ(driver::pendingEvents(), 0u);
}

TEST_F(DragTest, GlideSpreadsMovesEvenlyAndEndsOnTheTarget) {
    g_loopSleep = 5;
    driver::Script()
        .moveTo(hwnd_, 0, 100)
        .press()
        .glide(hwnd_, 0, 100, 30, 40, 100, 4) // moves at 25, 50, 75, 100
        .wait(1)
        .release()
        .start();
    driver::runScript();
    // Polls every 5 ms from 0 to 100 inclusive; each sees the latest move.
    ASSERT_EQ(g_polls.size(), 21u);
    struct Probe {
        std::size_t index;
        int x, y;
    } probes[] = {{0, 0, 100}, {4, 0, 100}, {5, 7, 85}, {10, 15, 70}, {15, 22, 55}, {20, 30, 40}};
    for (const Probe& p : probes) {
        EXPECT_EQ(g_polls[p.index].pt.x, p.x) << p.index;
        EXPECT_EQ(g_polls[p.index].pt.y, p.y) << p.index;
    }
}

TEST_F(DragTest, TickReadsAloneEndAWaitForTheDoubleClickTime) {
    // The double-click wait of the toolkit polls GetTickCount until a limit: on the
    // virtual clock each reading advances time, so the loop ends by itself.
    DWORD limit = GetTickCount() + GetDoubleClickTime();
    int reads = 0;
    MSG m;
    bool secondClick = false;
    while (GetTickCount() < limit) {
        ++reads;
        if (PeekMessageA(&m, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE | PM_NOYIELD)) {
            secondClick = true;
            break;
        }
    }
    EXPECT_FALSE(secondClick);
    EXPECT_EQ(reads, 499);
    // With a second press scripted 120 ms in, the same wait finds it.
    driver::moveTo(hwnd_, 5, 5);
    driver::Script().at(120).press().release().start();
    limit = GetTickCount() + GetDoubleClickTime();
    while (GetTickCount() < limit)
        if (PeekMessageA(&m, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE | PM_NOYIELD)) {
            secondClick = true;
            break;
        }
    EXPECT_TRUE(secondClick);
    EXPECT_EQ(m.hwnd, hwnd_);
}
