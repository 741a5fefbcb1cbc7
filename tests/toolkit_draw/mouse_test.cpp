// The mouse queries of CDrawContext and contexts made from a window: the DC a context takes
// and gives back, the screen offset, the button word and the double-click wait, driven by
// the headless backend's scripted input on a virtual clock.
#include "host_window.h"

#include "toolkit/drawcontext.h"
#include "toolkit/drawglobals.h"

#include <kavet/driver.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace toolkit;
namespace driver = kavet::driver;

namespace {

// What the window procedure saw of button-down messages and the wait's answer.
struct Clicks {
    int downs = 0;
    bool doubleClick = false;
    DWORD answeredAt = 0;
};
Clicks clicks;

LRESULT CALLBACK testWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
        if (++clicks.downs == 1) {
            CDrawContext context(nullptr, nullptr, hwnd); // as a control's tracking loop
            clicks.doubleClick = context.waitDoubleClick();
            clicks.answeredAt = driver::now();
        }
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A top-level window at screen (100, 200) with a child at (10, 20) in it.
class MouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver::useVirtualClock(0);
        driver::resetInput();
        driver::setDoubleClickTime(500);
        clicks = Clicks{};
        window.emplace(100, 200, 120, 90, "KavetDrawMouseTest", testWindowProc);
        top = window->handle();
        child = CreateWindowExA(0, "KavetDrawMouseTest", "child", WS_CHILD | WS_VISIBLE, 10, 20, 60,
                                40, top, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(child, nullptr);
        driver::pump();
    }
    void TearDown() override {
        window.reset();
        driver::resetInput();
        gSwapMouseButtons = false;
    }
    std::optional<kavet::test::HostWindow> window;
    HWND top = nullptr;
    HWND child = nullptr;
};

TEST_F(MouseTest, AWindowContextTakesTheWindowsDcAndReleasesItAtDestruction) {
    auto* context = new CDrawContext(nullptr, nullptr, child);
    HDC dc = context->getSystemContext();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(context->getWindow(), child);

    context->setFillColor(CColorRGBA{255, 0, 0, 255});
    context->fillRect(CRectangle(0, 0, 6, 6));
    driver::Image image = driver::capture(child);
    EXPECT_EQ(image.rgb(3, 3), 0xFF0000u);
    EXPECT_NE(image.rgb(0, 0), 0xFF0000u);
    EXPECT_NE(image.rgb(6, 6), 0xFF0000u);

    context->forget();
    EXPECT_EQ(ReleaseDC(child, dc), 0) << "the context should have released its DC";
}

TEST_F(MouseTest, AGivenDcIsNotReleased) {
    HDC dc = GetDC(child);
    {
        CDrawContext context(nullptr, dc, child);
        EXPECT_EQ(context.getSystemContext(), dc);
    }
    EXPECT_EQ(ReleaseDC(child, dc), 1);
}

TEST_F(MouseTest, MouseLocationIsInTheWindowsCoordinates) {
    CDrawContext context(nullptr, nullptr, child);
    EXPECT_EQ(context.offsetScreen, CPosition(110, 220));
    const POINT points[] = {{0, 0}, {7, 5}, {59, 39}, {-4, 2}};
    for (const POINT& p : points) {
        driver::moveTo(child, p.x, p.y);
        CPosition where;
        context.getMouseLocation(where);
        EXPECT_EQ(where, CPosition(p.x, p.y));
    }
    // The drawing offset does not move the answer; containers shift it themselves.
    context.offset = CPosition(5, 5);
    driver::moveTo(child, 0, 0);
    CPosition where;
    context.getMouseLocation(where);
    EXPECT_EQ(where, CPosition(0, 0));
}

TEST_F(MouseTest, ButtonWordFollowsThePhysicalButtonsTheSwapFlagAndTheModifiers) {
    using driver::Button;
    struct Case {
        Button button;
        unsigned modifiers;
        bool swapped;
        std::int32_t expected;
    };
    const Case cases[] = {
        {Button::Left, 0, false, buttonLeft},
        {Button::Left, 0, true, buttonRight},
        {Button::Right, 0, false, buttonRight},
        {Button::Right, 0, true, buttonLeft},
        {Button::Middle, 0, false, buttonMiddle},
        {Button::Middle, 0, true, buttonMiddle},
        {Button::Left, driver::Shift, false, buttonLeft | modShift},
        {Button::Left, driver::Control, false, buttonLeft | modControl},
        {Button::Right, driver::Alt, false, buttonRight | modAlt},
        {Button::Left, driver::Shift | driver::Control | driver::Alt, true,
         buttonRight | modShift | modControl | modAlt},
    };
    CDrawContext context(nullptr, nullptr, child);
    for (const Case& c : cases) {
        driver::resetInput();
        driver::moveTo(child, 5, 5);
        gSwapMouseButtons = c.swapped;
        driver::press(c.button, c.modifiers);
        EXPECT_EQ(context.getMouseButtons(), c.expected)
            << "button " << static_cast<int>(c.button) << " modifiers " << c.modifiers
            << " swapped " << c.swapped;
        driver::release(c.button);
        driver::setModifiers(driver::NoModifier);
        EXPECT_EQ(context.getMouseButtons(), 0) << "the state is read at the call";
    }
}

// ---- Double click ------------------------------------------------------------------------

struct MoveCase {
    int dx, dy;
    bool doubleClick;
};

TEST_F(MouseTest, DoubleClickHoldsWithinTheHalfOpenTwoPixelSquare) {
    const MoveCase cases[] = {
        {0, 0, true},  {-2, 0, true},  {0, -2, true},  {1, 0, true},   {0, 1, true},
        {1, 1, true},  {-2, -2, true}, {-3, 0, false}, {0, -3, false}, {2, 0, false},
        {0, 2, false}, {2, 2, false},  {1, 2, false},  {-3, 1, false},
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE("moved by " + std::to_string(c.dx) + "," + std::to_string(c.dy));
        driver::resetInput();
        driver::pump();
        clicks = Clicks{};
        driver::Script()
            .moveTo(child, 20, 20)
            .press()
            .at(10)
            .release()
            .at(20)
            .moveTo(child, 20 + c.dx, 20 + c.dy)
            .at(40)
            .press()
            .at(50)
            .release()
            .start();
        driver::run(700);
        EXPECT_EQ(clicks.doubleClick, c.doubleClick);
        // A double click consumes the second button-down; otherwise it reaches the window.
        EXPECT_EQ(clicks.downs, c.doubleClick ? 1 : 2);
    }
}

TEST_F(MouseTest, DoubleClickAnswersWhenTheSecondPressArrivesOrTheTimeRunsOut) {
    struct Case {
        DWORD secondPress;
        bool doubleClick;
        DWORD earliest, latest; // when the answer came, relative to the first press
    };
    const Case cases[] = {
        {60, true, 60, 62},     // at once when the second press arrives
        {498, true, 498, 500},  // just inside the double-click time (500 ms)
        {520, false, 499, 505}, // too late: the wait ends at the limit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("second press at " + std::to_string(c.secondPress));
        driver::resetInput();
        driver::pump();
        clicks = Clicks{};
        const DWORD start = driver::now();
        driver::Script()
            .moveTo(child, 30, 10)
            .press()
            .at(10)
            .release()
            .at(c.secondPress)
            .press()
            .wait(10)
            .release()
            .start();
        driver::run(800);
        EXPECT_EQ(clicks.doubleClick, c.doubleClick);
        EXPECT_GE(clicks.answeredAt - start, c.earliest);
        EXPECT_LE(clicks.answeredAt - start, c.latest);
    }
}

TEST_F(MouseTest, DoubleClickIsFalseAtOnceWhenTheTimeHadPassedBeforeTheWait) {
    // Both clicks wait in the queue until long after the double-click time: the first one's
    // wait gives up at once and leaves the second button-down for the window.
    driver::moveTo(child, 30, 10);
    driver::press();
    driver::release();
    driver::advance(100);
    driver::press();
    driver::release();
    driver::advance(500);
    const DWORD before = driver::now();
    driver::pump();
    EXPECT_FALSE(clicks.doubleClick);
    EXPECT_EQ(clicks.downs, 2);
    EXPECT_LE(clicks.answeredAt - before, 3u);
}

} // namespace
