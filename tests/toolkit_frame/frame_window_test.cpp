// The frame with its window on the headless backend: class and hook lifetime, painting,
// idle updates (pixels), clicks, the wheel through the hook, drops and destruction.
#include "frame_fixture.h"
#include "toolkit/drawglobals.h"

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <thread>

using namespace kavet;
using namespace kavet::test;
using namespace toolkit;

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00,
                        kGround = 0x336699;

std::string expectedClassName() {
    char name[40];
    std::snprintf(name, sizeof name, "Plugin%" PRIxPTR,
                  reinterpret_cast<std::uintptr_t>(getModuleInstance()));
    return name;
}

bool classRegistered(WNDCLASSA* out = nullptr) {
    WNDCLASSA wc{};
    const bool found = GetClassInfoA(getModuleInstance(), expectedClassName().c_str(), &wc);
    if (out) *out = wc;
    return found;
}

class FrameWindowTest : public FrameTest {
protected:
    // A 200 x 100 frame in the host with a red child a (10,10,60,60) and a green child b
    // (70,10,120,60) on a background colour.
    void makeFrame() {
        frame = new CFrame(CRectangle(0, 0, 200, 100), host, nullptr);
        frame->setBackgroundColor(rgb(kGround));
        a = new ColorView(CRectangle(10, 10, 60, 60), kRed);
        b = new ColorView(CRectangle(70, 10, 120, 60), kGreen);
        frame->addView(a);
        frame->addView(b); // the frame takes over both references and deletes the views
    }
    void TearDown() override {
        if (frame) frame->forget();
        FrameTest::TearDown();
    }
    driver::Image shot() { return driver::capture(frame->getWindow()); }

    CFrame* frame = nullptr;
    ColorView* a = nullptr;
    ColorView* b = nullptr;
};

} // namespace

TEST_F(FrameWindowTest, ClassAndHookGoWithTheLastFrameAndComeBackWithTheNext) {
    ASSERT_FALSE(classRegistered());
    auto* first = new CFrame(CRectangle(0, 0, 50, 40), host, nullptr);
    auto* second = new CFrame(CRectangle(0, 0, 50, 40), host, nullptr);
    auto* windowless = new CFrame(CRectangle(0, 0, 50, 40), nullptr, nullptr);
    WNDCLASSA wc{};
    ASSERT_TRUE(classRegistered(&wc));
    EXPECT_EQ(std::string(CFrame::getWindowClassName()), expectedClassName());
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_GLOBALCLASS));
    EXPECT_EQ(wc.lpfnWndProc, &CFrame::windowProc);
    EXPECT_EQ(CFrame::getWindowClassUseCount(), 2); // the windowless frame does not count
    EXPECT_EQ(windowless->getWindow(), nullptr);
    HHOOK hook = CFrame::getWheelHook();
    ASSERT_NE(hook, nullptr);

    // The frame window: a visible child of the host at (0,0) with the frame's size.
    HWND w = first->getWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(GetParent(w), host);
    EXPECT_TRUE(CFrame::isFrameWindow(w));
    EXPECT_TRUE(CFrame::isFrameWindow(second->getWindow()));
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 50);
    EXPECT_EQ(client.bottom, 40);
    char title[16] = {};
    GetWindowTextA(w, title, sizeof title);
    EXPECT_STREQ(title, "Window");

    first->forget();
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(CFrame::isFrameWindow(w));
    EXPECT_TRUE(classRegistered());
    EXPECT_EQ(CFrame::getWheelHook(), hook);
    second->forget();
    windowless->forget();
    EXPECT_FALSE(classRegistered());
    EXPECT_EQ(CFrame::getWindowClassUseCount(), 0);
    EXPECT_EQ(CFrame::getWheelHook(), nullptr);
    EXPECT_FALSE(UnhookWindowsHookEx(hook)); // really removed, not just forgotten

    makeFrame();
    EXPECT_TRUE(classRegistered());
    EXPECT_NE(CFrame::getWheelHook(), nullptr);
}

// The entry points live as long as some frame holds "msimg32.dll": they go with the last
// frame (nothing may call into a library that is no longer loaded) and a new frame looks
// them up again.
TEST_F(FrameWindowTest, Msimg32EntriesGoWithTheLastFrameAndComeBackWithTheNext) {
    ASSERT_EQ(GetModuleHandleA("msimg32.dll"), nullptr);
    makeFrame();
    CFrame* second = new CFrame(CRectangle(0, 0, 50, 50), nullptr, nullptr); // windowless
    EXPECT_NE(gTransparentBlt, nullptr); // the layer reports the NT family
    EXPECT_NE(gAlphaBlend, nullptr);
    frame->forget();
    frame = nullptr;
    EXPECT_NE(GetModuleHandleA("msimg32.dll"), nullptr);
    EXPECT_NE(gTransparentBlt, nullptr) << "another frame still holds the library";
    EXPECT_NE(gAlphaBlend, nullptr);
    second->forget();
    EXPECT_EQ(GetModuleHandleA("msimg32.dll"), nullptr);
    EXPECT_EQ(gTransparentBlt, nullptr);
    EXPECT_EQ(gAlphaBlend, nullptr);

    makeFrame();
    EXPECT_NE(gTransparentBlt, nullptr);
    EXPECT_NE(gAlphaBlend, nullptr);
}

TEST_F(FrameWindowTest, FirstPaintShowsBackgroundAndChildren) {
    makeFrame();
    EXPECT_TRUE(frame->isFirstDraw());
    driver::pump();
    EXPECT_FALSE(frame->isFirstDraw());
    const driver::Image image = shot();
    EXPECT_TRUE(filled(image, CRectangle(10, 10, 60, 60), kRed));
    EXPECT_TRUE(filled(image, CRectangle(70, 10, 120, 60), kGreen));
    EXPECT_TRUE(filled(image, CRectangle(1, 1, 10, 100), kGround));
    EXPECT_TRUE(filled(image, CRectangle(120, 1, 200, 100), kGround));
    EXPECT_TRUE(filled(image, CRectangle(10, 60, 120, 100), kGround));
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 1);
}

TEST_F(FrameWindowTest, IdleBeforeTheFirstPaintAndIdleWithNothingDirtyDrawNothing) {
    makeFrame();
    EXPECT_TRUE(a->isDirty());
    frame->idle(); // the window has not been painted yet
    EXPECT_EQ(a->draws, 0);
    driver::pump();
    EXPECT_EQ(a->draws, 1);
    EXPECT_FALSE(frame->isDirty());
    frame->idle();
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 1);
}

TEST_F(FrameWindowTest, IdleRepaintsExactlyTheDirtyViews) {
    makeFrame();
    driver::pump();
    // Both change colour; only a says so.
    a->colour = kBlue;
    b->colour = kYellow;
    a->setDirty(true);
    frame->idle();
    const driver::Image image = shot();
    EXPECT_TRUE(filled(image, CRectangle(10, 10, 60, 60), kBlue));
    EXPECT_TRUE(filled(image, CRectangle(70, 10, 120, 60), kGreen));
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 1);
    EXPECT_FALSE(frame->isDirty());
}

TEST_F(FrameWindowTest, UpdateModesOfANestedContainer) {
    struct Case {
        std::int32_t mode;
        std::uint32_t firstAfter, secondAfter;
        bool dirtyAfter;
    } cases[] = {
        {kNormalUpdate, kBlue, kYellow, false},   // the whole container is redrawn
        {kOnlyDirtyUpdate, kBlue, kGreen, false}, // only the dirty child
        {2, kRed, kGreen, true},                  // other modes do nothing at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        frame = new CFrame(CRectangle(0, 0, 200, 100), host, nullptr);
        auto* box = new CViewContainer(CRectangle(20, 20, 180, 80), frame);
        box->setBackgroundColor(rgb(kGround));
        auto* first = new ColorView(CRectangle(10, 10, 50, 50), kRed);
        auto* second = new ColorView(CRectangle(100, 10, 140, 50), kGreen);
        box->addView(first);
        box->addView(second);
        box->setMode(c.mode);
        frame->addView(box);
        driver::pump();
        first->colour = kBlue;
        second->colour = kYellow;
        first->setDirty(true);
        frame->idle();
        const driver::Image image = shot();
        EXPECT_TRUE(filled(image, CRectangle(30, 30, 70, 70), c.firstAfter));
        EXPECT_TRUE(filled(image, CRectangle(120, 30, 160, 70), c.secondAfter));
        EXPECT_EQ(box->isDirty(), c.dirtyAfter);
        frame->forget(); // deletes the box, which deletes its children
        frame = nullptr;
    }
}

TEST_F(FrameWindowTest, DrawViewDrawsADirectChildOrElseTheWholeFrame) {
    makeFrame();
    driver::pump();
    b->colour = kBlue;
    frame->drawView(b);
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 2);
    EXPECT_TRUE(filled(shot(), CRectangle(70, 10, 120, 60), kBlue));
    ColorView stranger(CRectangle(0, 0, 5, 5), kYellow);
    frame->drawView(&stranger); // not a child: the whole frame
    EXPECT_EQ(stranger.draws, 0);
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 3);
}

TEST_F(FrameWindowTest, ClickInTheWindowReachesTheViewWithButtonsAndFocus) {
    makeFrame();
    driver::pump();
    struct Case {
        driver::Button button;
        unsigned modifiers;
        std::int32_t buttons;
    } cases[] = {
        {driver::Button::Left, driver::NoModifier, buttonLeft},
        {driver::Button::Right, driver::NoModifier, buttonRight},
        {driver::Button::Middle, driver::NoModifier, buttonMiddle},
        {driver::Button::Left, driver::Shift | driver::Control, buttonLeft | modShift | modControl},
    };
    int n = 0;
    for (const Case& c : cases) {
        driver::moveTo(frame->getWindow(), 60, 60); // a's corner: closed hit test
        driver::press(c.button, c.modifiers);
        driver::pump();
        driver::release(c.button);
        driver::setModifiers(driver::NoModifier);
        driver::pump();
        ++n;
        ASSERT_EQ(static_cast<int>(a->clicks.size()), n);
        EXPECT_EQ(a->clicks.back(), CPosition(60, 60));
        EXPECT_EQ(a->lastButtons, c.buttons);
    }
    EXPECT_EQ(GetFocus(), frame->getWindow());
    EXPECT_TRUE(b->clicks.empty());
}

TEST_F(FrameWindowTest, WheelNotchIsDistanceOneAtTheFrameWindowPoint) {
    makeFrame();
    driver::pump();
    SetFocus(host); // the host has the keyboard: the hook brings the wheel to the frame
    driver::moveTo(frame->getWindow(), 80, 30);
    for (int delta : {120, -240, -120}) {
        driver::wheel(delta);
        driver::pump();
    }
    ASSERT_EQ(b->wheelDistances.size(), 3u);
    EXPECT_EQ(b->wheelDistances[0], 1.0f);
    EXPECT_EQ(b->wheelDistances[1], -2.0f);
    EXPECT_EQ(b->wheelDistances[2], -1.0f);
    for (const CPosition& p : b->wheelPoints) {
        EXPECT_EQ(p, CPosition(80, 30));
    }
    EXPECT_TRUE(a->wheelDistances.empty());
    // Each turn reaches the host once: handed on by the frame window, the original consumed.
    int hostWheels = 0;
    for (UINT m : hostMessages())
        hostWheels += m == WM_MOUSEWHEEL;
    EXPECT_EQ(hostWheels, 3);
}

TEST_F(FrameWindowTest, WheelHookWatchesOnlyTheEditorsThread) {
    makeFrame();
    driver::pump();
    int otherWheels = 0;
    std::atomic<bool> done{false};
    std::thread other([&] {
        HWND window = CreateWindowExA(0, "KavetFrameHost", "other", WS_POPUP | WS_VISIBLE, 600, 400,
                                      100, 100, nullptr, nullptr, hostInstance(), nullptr);
        driver::pump();
        SetFocus(window);
        hostMessages().clear();
        // The pointer is over the editor, but the wheel goes to the other thread's focus
        // window: a hook for every thread would steal it and call the editor from there.
        driver::moveTo(frame->getWindow(), 80, 30);
        driver::wheel(120);
        driver::pump();
        for (UINT m : hostMessages())
            otherWheels += m == WM_MOUSEWHEEL;
        DestroyWindow(window);
        driver::pump();
        done = true;
    });
    // Keep serving this thread's windows, as the host's GUI thread does.
    while (!done) {
        driver::pump();
        std::this_thread::yield();
    }
    other.join();
    driver::pump();
    EXPECT_EQ(otherWheels, 1);
    EXPECT_TRUE(b->wheelDistances.empty());
}

TEST_F(FrameWindowTest, DroppedFilesReachTheViewWithNamesAndPoint) {
    makeFrame();
    driver::pump();
    EXPECT_TRUE(frame->isDropActive());
    DWORD effect = 0;
    ASSERT_TRUE(driver::dropFiles(frame->getWindow(), POINT{90, 40},
                                  {"/tmp/take one.wav", "/tmp/take two.wav"}, driver::NoModifier,
                                  &effect));
    driver::pump();
    ASSERT_EQ(b->drops, 1);
    EXPECT_EQ(b->dropNames, (std::vector<std::string>{"/tmp/take one.wav", "/tmp/take two.wav"}));
    EXPECT_EQ(b->dropPoint, CPosition(90, 40));
    EXPECT_EQ(a->drops, 0);
}

TEST_F(FrameWindowTest, HostDestroyingTheWindowStopsUpdates) {
    makeFrame();
    driver::pump();
    HWND w = frame->getWindow();
    DestroyWindow(host);
    EXPECT_FALSE(frame->getOpenFlag());
    EXPECT_EQ(frame->getSystemWindow(), nullptr);
    a->setDirty(true);
    frame->idle();
    EXPECT_EQ(a->draws, 1);
    frame->forget();
    frame = nullptr;
    EXPECT_FALSE(CFrame::isFrameWindow(w));
    EXPECT_EQ(CFrame::getWindowClassUseCount(), 0);
}

TEST_F(FrameWindowTest, MessagesWithoutAFrameGoToTheDefaultProcedure) {
    makeFrame();
    driver::pump();
    HWND w = frame->getWindow();
    SetWindowLongPtrA(w, GWLP_USERDATA, 0);
    driver::moveTo(w, 20, 20);
    driver::press();
    driver::release();
    driver::pump();
    EXPECT_TRUE(a->clicks.empty());
    SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
}

TEST_F(FrameWindowTest, CurrentLocationAndViewFollowTheCursor) {
    makeFrame();
    driver::pump();
    driver::moveTo(frame->getWindow(), 100, 20);
    CPosition where;
    frame->getCurrentLocation(where);
    EXPECT_EQ(where, CPosition(100, 20));
    EXPECT_EQ(frame->getCurrentView(), b);
    driver::moveTo(frame->getWindow(), 150, 90);
    EXPECT_EQ(frame->getCurrentView(), nullptr);
}

TEST_F(FrameWindowTest, PartialRedrawTakesTheBackgroundFromTheSamePlace) {
    makeFrame();
    auto* background = new PatternBitmap(220, 120);
    frame->setBackground(background);
    background->forget();
    a->paintWidth = 20; // a leaves 30 columns of background showing
    driver::pump();
    for (CPosition shift : {CPosition(0, 0), CPosition(5, 3)}) {
        SCOPED_TRACE(shift.x);
        frame->setBackgroundOffset(shift);
        HDC dc = GetDC(frame->getWindow()); // spoil the window so only a redraw can mend it
        RECT all{0, 0, 200, 100};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc, &all, magenta);
        DeleteObject(magenta);
        ReleaseDC(frame->getWindow(), dc);
        a->setDirty(true);
        frame->idle();
        const driver::Image image = shot();
        EXPECT_TRUE(filled(image, CRectangle(10, 10, 30, 60), kRed));
        for (int y = 10; y < 60; y += 7)
            for (int x = 30; x < 60; x += 3)
                EXPECT_EQ(image.rgb(x, y), PatternBitmap::patternAt(x + shift.x, y + shift.y))
                    << x << "," << y;
        EXPECT_EQ(image.rgb(65, 30), 0xFF00FFu); // outside a: not redrawn
    }
}

TEST_F(FrameWindowTest, TransparentContainerWithoutOffscreenShowsTheFrameBehindIt) {
    makeFrame();
    auto* box = new CViewContainer(CRectangle(130, 20, 190, 90), frame);
    box->setTransparency(true);
    box->useOffscreen(false);
    auto* inner = new ColorView(CRectangle(10, 10, 30, 30), kRed);
    box->addView(inner);
    frame->addView(box);
    driver::pump();
    EXPECT_EQ(box->getOffscreenContext(), nullptr);
    EXPECT_TRUE(filled(shot(), CRectangle(140, 30, 160, 50), kRed));
    inner->colour = kBlue;
    inner->setDirty(true);
    frame->idle(); // the request goes up to the frame, which draws the area afresh
    const driver::Image image = shot();
    EXPECT_TRUE(filled(image, CRectangle(140, 30, 160, 50), kBlue));
    EXPECT_TRUE(filled(image, CRectangle(131, 21, 190, 30), kGround));
    EXPECT_TRUE(filled(image, CRectangle(160, 50, 190, 90), kGround));
}
