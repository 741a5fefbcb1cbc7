// The per-thread queue (order, filters, sent and posted messages across threads, message
// time), invalid regions and WM_PAINT, and the order of focus messages.
#include "recorder.h"

#include <atomic>
#include <thread>

using namespace kavet;
using namespace kavet::test;

TEST_F(WindowTest, PeekMessageHonoursRangeWindowAndRemoveFlags) {
    HWND a = top(0, 0, 10, 10, 0), b = top(0, 0, 10, 10, 0);
    PostMessageA(a, WM_USER + 1, 1, 0);
    PostMessageA(b, WM_USER + 2, 2, 0);
    PostMessageA(a, WM_USER + 3, 3, 0);
    PostMessageA(nullptr, WM_USER + 4, 4, 0); // a thread message
    MSG m;
    struct Case {
        HWND filter;
        UINT min, max, flags;
        bool found;
        WPARAM wParam;
    } cases[] = {
        {b, 0, 0, PM_NOREMOVE, true, 2},                         // only b's
        {nullptr, WM_USER + 3, WM_USER + 4, PM_REMOVE, true, 3}, // range skips the first two
        {reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE, true, 4},  // thread messages only
        {a, WM_USER + 3, WM_USER + 3, PM_REMOVE, false, 0},      // already removed
        {nullptr, 0, 0, PM_REMOVE, true, 1},
        {nullptr, 0, 0, PM_REMOVE, true, 2}, // still there after the PM_NOREMOVE look
        {nullptr, 0, 0, PM_REMOVE, false, 0},
    };
    for (const Case& c : cases) {
        BOOL got = PeekMessageA(&m, c.filter, c.min, c.max, c.flags);
        EXPECT_EQ(got != FALSE, c.found);
        if (got) {
            EXPECT_EQ(m.wParam, c.wParam);
        }
    }
}

TEST_F(WindowTest, PostedMessagesComeBeforeInputAndInputBeforePaint) {
    HWND w = top(0, 0, 50, 50);
    driver::pump();
    seen().clear();
    InvalidateRect(w, nullptr, FALSE);
    driver::moveTo(w, 5, 5);
    PostMessageA(w, WM_USER, 0, 0);
    driver::pump();
    EXPECT_EQ(messagesOf(w, {WM_USER, WM_MOUSEMOVE, WM_PAINT}),
              (std::vector<UINT>{WM_USER, WM_MOUSEMOVE, WM_PAINT}));
}

TEST_F(WindowTest, MessageTimeIsTheTimeOfPosting) {
    HWND w = top(0, 0, 10, 10, 0);
    DWORD posted = driver::now();
    PostMessageA(w, WM_USER, 0, 0);
    driver::advance(250);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, w, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_EQ(m.time, posted);
    EXPECT_EQ(static_cast<DWORD>(GetMessageTime()), posted);
}

namespace {
std::atomic<DWORD> g_procThread{0};
LRESULT CALLBACK threadProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER) {
        g_procThread = GetCurrentThreadId();
        return static_cast<LRESULT>(w * 2);
    }
    return DefWindowProcA(h, m, w, l);
}
} // namespace

TEST(MessageQueue, WindowsBelongToTheirThreadAndSendsCrossOver) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = threadProc;
    wc.hInstance = testInstance();
    wc.lpszClassName = "KavetThreaded";
    ASSERT_NE(RegisterClassA(&wc), 0);
    std::atomic<HWND> hwnd{nullptr};
    std::atomic<DWORD> owner{0};
    std::atomic<int> postedSeen{0};
    std::thread worker([&] {
        owner = GetCurrentThreadId();
        hwnd = CreateWindowExA(0, "KavetThreaded", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               testInstance(), nullptr);
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0) > 0) {
            if (m.message == WM_USER + 1) postedSeen++;
            DispatchMessageA(&m);
        }
        DestroyWindow(hwnd);
    });
    while (!hwnd)
        std::this_thread::yield();
    EXPECT_EQ(GetWindowThreadProcessId(hwnd, nullptr), owner.load());
    // A message posted to the worker's window is in the worker's queue, not this one.
    PostMessageA(hwnd, WM_USER + 1, 0, 0);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    // A send runs on the owner thread and returns its answer.
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 21, 0), 42);
    EXPECT_EQ(g_procThread.load(), owner.load());
    EXPECT_FALSE(DestroyWindow(hwnd)); // only the owner may destroy it
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    PostThreadMessageA(owner, WM_QUIT, 0, 0);
    worker.join();
    EXPECT_EQ(postedSeen.load(), 1);
    EXPECT_FALSE(IsWindow(hwnd));
    UnregisterClassA("KavetThreaded", testInstance());
}

// A thread that ends takes its queue with it: nothing can be posted to it any more, and a
// send to a window it left behind answers 0 at once instead of waiting for an answer.
TEST(MessageQueue, AnEndedThreadsQueueTakesNoMoreMessages) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = threadProc;
    wc.hInstance = testInstance();
    wc.lpszClassName = "KavetEnded";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND hwnd = nullptr;
    DWORD owner = 0;
    std::thread([&] {
        owner = GetCurrentThreadId();
        hwnd = CreateWindowExA(0, "KavetEnded", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               testInstance(), nullptr);
    }).join();
    ASSERT_NE(hwnd, nullptr);
    const BOOL posted = PostThreadMessageA(owner, WM_USER, 0, 0);
    EXPECT_FALSE(posted);
    if (!posted) { // else a send would wait for ever
        EXPECT_EQ(SendMessageA(hwnd, WM_USER, 21, 0), 0);
    }
}

TEST_F(WindowTest, UpdateRegionIsTheBoundingRectangleUntilPainted) {
    HWND w = top(0, 0, 100, 80);
    driver::pump();
    RECT r;
    EXPECT_FALSE(GetUpdateRect(w, &r, FALSE));
    RECT a{10, 10, 20, 20}, b{50, 5, 60, 15}, outside{90, 70, 200, 200};
    InvalidateRect(w, &a, FALSE);
    InvalidateRect(w, &b, FALSE);
    InvalidateRect(w, &outside, FALSE); // clipped to the client area
    ASSERT_TRUE(GetUpdateRect(w, &r, FALSE));
    EXPECT_EQ(std::tie(r.left, r.top, r.right, r.bottom), std::make_tuple(10, 5, 100, 80));
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(std::tie(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom),
              std::make_tuple(10, 5, 100, 80));
    EXPECT_FALSE(GetUpdateRect(w, &r, FALSE)); // validated by BeginPaint
    EndPaint(w, &ps);
    seen().clear();
    driver::pump();
    EXPECT_TRUE(messagesOf(w, {WM_PAINT}).empty());
}

TEST_F(WindowTest, BeginPaintClipsDrawingToTheUpdateRectangle) {
    HWND w = top(0, 0, 40, 30);
    driver::pump();
    HDC dc = GetDC(w);
    RECT all{0, 0, 40, 30};
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0)), red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, black);
    ReleaseDC(w, dc);
    RECT dirty{5, 6, 15, 16};
    InvalidateRect(w, &dirty, FALSE);
    PAINTSTRUCT ps;
    dc = BeginPaint(w, &ps);
    FillRect(dc, &all, red); // whole window, clipped to the update rectangle
    EndPaint(w, &ps);
    driver::Image img = driver::capture(w);
    struct Probe {
        int x, y;
        std::uint32_t rgb;
    } probes[] = {{5, 6, 0xFF0000}, {14, 15, 0xFF0000}, {4, 6, 0}, {5, 5, 0},
                  {15, 10, 0},      {10, 16, 0},        {0, 0, 0}, {39, 29, 0}};
    for (const Probe& p : probes)
        EXPECT_EQ(img.rgb(p.x, p.y), p.rgb) << p.x << "," << p.y;
    DeleteObject(black);
    DeleteObject(red);
}

TEST_F(WindowTest, EraseUsesTheClassBrushInsideBeginPaint) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = recorderProc;
    wc.hInstance = testInstance();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "KavetFace";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND w = CreateWindowExA(0, "KavetFace", "", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr,
                             nullptr, testInstance(), nullptr);
    ASSERT_NE(w, nullptr);
    seen().clear();
    driver::pump();
    // DefWindowProc's WM_PAINT calls BeginPaint, which sends WM_ERASEBKGND.
    EXPECT_EQ(messagesOf(w, {WM_PAINT, WM_ERASEBKGND}),
              (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    std::uint32_t expected = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    EXPECT_EQ(driver::capture(w).rgb(0, 0), expected);
    EXPECT_EQ(driver::capture(w).rgb(19, 19), expected);
    DestroyWindow(w);
    UnregisterClassA("KavetFace", testInstance());
}

TEST_F(WindowTest, UpdateWindowPaintsAtOnceAndParentsPaintBeforeChildren) {
    HWND parent = top(0, 0, 50, 50);
    HWND kid = child(parent, 0, 0, 10, 10);
    seen().clear();
    EXPECT_TRUE(UpdateWindow(parent)); // no pumping: WM_PAINT is sent
    EXPECT_EQ(messagesOf(nullptr, {WM_PAINT}), (std::vector<UINT>{WM_PAINT, WM_PAINT}));
    EXPECT_EQ(seen().front().hwnd, parent);
    seen().clear();
    UpdateWindow(parent); // nothing invalid: nothing sent
    EXPECT_TRUE(messagesOf(nullptr, {WM_PAINT}).empty());
    InvalidateRect(kid, nullptr, FALSE);
    InvalidateRect(parent, nullptr, FALSE);
    driver::pump();
    std::vector<HWND> order;
    for (const Seen& s : seen())
        if (s.message == WM_PAINT) order.push_back(s.hwnd);
    EXPECT_EQ(order, (std::vector<HWND>{parent, kid}));
}

TEST_F(WindowTest, HiddenWindowsGetNoPaintAndShowingInvalidatesAll) {
    HWND w = top(0, 0, 30, 30, 0);
    InvalidateRect(w, nullptr, FALSE);
    driver::pump();
    EXPECT_TRUE(messagesOf(w, {WM_PAINT}).empty());
    ShowWindow(w, SW_SHOW);
    RECT r;
    ASSERT_TRUE(GetUpdateRect(w, &r, FALSE));
    EXPECT_EQ(std::tie(r.left, r.top, r.right, r.bottom), std::make_tuple(0, 0, 30, 30));
}

TEST_F(WindowTest, ValidateRectShrinksTheRegionFromACoveredSide) {
    HWND w = top(0, 0, 100, 100);
    driver::pump();
    RECT dirty{10, 10, 50, 50}, topRows{0, 0, 100, 20}, all{0, 0, 100, 100};
    InvalidateRect(w, &dirty, FALSE);
    ValidateRect(w, &topRows);
    RECT r;
    ASSERT_TRUE(GetUpdateRect(w, &r, FALSE));
    EXPECT_EQ(std::tie(r.left, r.top, r.right, r.bottom), std::make_tuple(10, 20, 50, 50));
    ValidateRect(w, &all);
    EXPECT_FALSE(GetUpdateRect(w, &r, FALSE));
}

TEST_F(WindowTest, FocusMovesWithKillFocusFirst) {
    HWND parent = top(0, 0, 100, 100);
    HWND a = child(parent, 0, 0, 10, 10), b = child(parent, 20, 0, 10, 10);
    SetFocus(a);
    seen().clear();
    EXPECT_EQ(SetFocus(b), a);
    std::vector<std::pair<HWND, UINT>> order;
    for (const Seen& s : seen())
        if (s.message == WM_KILLFOCUS || s.message == WM_SETFOCUS)
            order.emplace_back(s.hwnd, s.message);
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{a, WM_KILLFOCUS}, {b, WM_SETFOCUS}}));
    EXPECT_EQ(reinterpret_cast<HWND>(seen()[0].wParam), b); // the window getting the focus
    EXPECT_EQ(GetFocus(), b);
    // Destroying the focused child hands the focus to its parent before WM_DESTROY.
    seen().clear();
    DestroyWindow(b);
    std::vector<std::pair<HWND, UINT>> destroyOrder;
    for (const Seen& s : seen())
        if (s.message == WM_KILLFOCUS || s.message == WM_SETFOCUS || s.message == WM_DESTROY)
            destroyOrder.emplace_back(s.hwnd, s.message);
    EXPECT_EQ(destroyOrder, (std::vector<std::pair<HWND, UINT>>{
                                {b, WM_KILLFOCUS}, {parent, WM_SETFOCUS}, {b, WM_DESTROY}}));
    EXPECT_EQ(GetFocus(), parent);
}
