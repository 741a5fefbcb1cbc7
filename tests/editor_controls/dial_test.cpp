// The knob driven with the mouse through the driver: one degree per pixel of the larger
// movement (right or up increases), a tenth with Shift, clamped to 0..360 degrees, the
// pointer put back where the drag began, the reset gestures, and where the dot is drawn.
#include "control_fixture.h"

#include "editor/layout.h"
#include "editor/ndial.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace kavet::test {
namespace {

using editor::nDial;

// The Trim knob's place in the editor.
constexpr layout::Control kTrimDial = layout::control(layout::Id::TrimDial);
constexpr toolkit::CRectangle kDialRect(kTrimDial.rect.left, kTrimDial.rect.top,
                                        kTrimDial.rect.right(), kTrimDial.rect.bottom());
constexpr int kMiddleX = kDialRect.left + 15;
constexpr int kMiddleY = kDialRect.top + 15;

class DialTest : public ControlTest {
protected:
    nDial* makeDial(float value) {
        dial = new nDial(kDialRect, kTrimDial.tag, editorObject, background, value);
        show(dial);
        return dial;
    }
    void removeDial() {
        frame->setFocusView(nullptr);
        frame->removeView(dial);
        dial = nullptr;
    }
    nDial* dial = nullptr;
};

TEST_F(DialTest, DragTurnsOneDegreePerPixelOfTheLargerMovementAndATenthWithShift) {
    struct Case {
        int dx, dy;
        bool shift;
        float angle; // from 180
        const char* why;
    };
    const Case cases[] = {
        {30, -10, false, 210.0f, "30 right, 10 up"},
        {30, -10, true, 183.0f, "the same with Shift"},
        {-30, 10, false, 150.0f, "left and down"},
        {-30, 10, true, 177.0f, "left and down with Shift"},
        {10, -30, false, 210.0f, "up counts when it is the larger movement"},
        {-10, 30, false, 150.0f, "down counts when it is the larger movement"},
        {2, -1, false, 182.0f, "within the double-click box, after the wait"},
        {-1, 0, true, 179.9f, "one pixel with Shift"},
        {20, -20, false, 200.0f, "equal movements: the vertical one counts"},
        {20, 20, false, 160.0f, "equal movements down"},
        {400, 0, false, 360.0f, "clamped at the top"},
        {0, 400, false, 0.0f, "clamped at the bottom"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        makeDial(0.5f);
        ASSERT_EQ(dial->getAngle(), 180.0f);
        hostCalls().clear();

        const bool small = std::abs(c.dx) <= 2 && std::abs(c.dy) <= 2;
        drag(kMiddleX, kMiddleY, c.dx, c.dy, c.shift ? driver::Shift : driver::NoModifier,
             driver::Button::Left, small ? 600 : 50);

        EXPECT_FLOAT_EQ(dial->getAngle(), c.angle);
        EXPECT_FLOAT_EQ(dial->getValue(), c.angle / 360.0f);
        EXPECT_TRUE(isOneGesture(events(), kTrimDial.tag));
        ASSERT_FALSE(editorObject->values.empty());
        EXPECT_EQ(editorObject->values.back(), dial->getValue());
        const std::vector<std::pair<VstInt32, VstInt32>> hostSaw = {{audioMasterBeginEdit, 1},
                                                                    {audioMasterEndEdit, 1}};
        EXPECT_EQ(hostGestures(), hostSaw);
        removeDial();
    }
}

TEST_F(DialTest, AGlideAddsUpStepByStep) {
    makeDial(0.25f); // 90 degrees
    driver::Script()
        .moveTo(window(), kMiddleX, kMiddleY)
        .press()
        .wait(20)
        .glide(window(), kMiddleX, kMiddleY, kMiddleX + 40, kMiddleY - 8, 200, 8)
        .glide(window(), kMiddleX + 40, kMiddleY - 8, kMiddleX + 40, kMiddleY + 22, 200, 6)
        .wait(20)
        .release()
        .start();
    driver::runScript(5000);
    driver::pump();
    // Each 5-pixel step right counts 5 (the 1-pixel rise is smaller), then 30 pixels down.
    EXPECT_FLOAT_EQ(dial->getAngle(), 90.0f + 40.0f - 30.0f);
    EXPECT_TRUE(isOneGesture(events(), kTrimDial.tag));
    EXPECT_GE(events().size(), 2u + 14u);
}

TEST_F(DialTest, ThePointerComesBackWhereTheDragBegan) {
    makeDial(0.5f);
    // The move comes after the double-click wait, so the drag hides the pointer at the press.
    drag(kMiddleX, kMiddleY, 25, -5, driver::NoModifier, driver::Button::Left, 600);
    EXPECT_EQ(dial->getAngle(), 205.0f);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 100 + kMiddleX);
    EXPECT_EQ(cursor.y, 100 + kMiddleY);
    EXPECT_EQ(frame->getFocusView(), dial);
}

TEST_F(DialTest, ControlAltAndDoubleClickReturnToTheMiddle) {
    for (int gesture = 0; gesture < 3; ++gesture) {
        SCOPED_TRACE(gesture);
        makeDial(0.1f);
        hostCalls().clear();
        if (gesture == 2)
            doubleClick(kMiddleX, kMiddleY);
        else
            drag(kMiddleX, kMiddleY, 0, 0, gesture == 0 ? driver::Control : driver::Alt);
        EXPECT_EQ(dial->getAngle(), 180.0f);
        EXPECT_EQ(dial->getValue(), 0.5f);
        const std::vector<std::string> expected = {"begin 1", "changed 1", "end 1"};
        EXPECT_EQ(events(), expected);
        EXPECT_EQ(hostGestures().size(), 2u);
        removeDial();
    }
}

TEST_F(DialTest, RightButtonWithoutModifiersDoesNothing) {
    makeDial(0.5f);
    drag(kMiddleX, kMiddleY, 30, -10, driver::NoModifier, driver::Button::Right);
    EXPECT_EQ(dial->getAngle(), 180.0f);
    EXPECT_TRUE(events().empty());
    EXPECT_TRUE(hostGestures().empty());
}

// The darkened pixels' centre of mass, in control coordinates.
struct Dot {
    double x = 0, y = 0;
    int pixels = 0;
};

Dot findDot(const driver::Image& image, const editor::PixelView& bg) {
    Dot dot;
    double weight = 0;
    for (int y = 0; y < 31; ++y) {
        for (int x = 0; x < 31; ++x) {
            const std::uint32_t before = bg.at(kDialRect.left + x, kDialRect.top + y) & 0xFFFFFFu;
            const std::uint32_t now = image.rgb(kDialRect.left + x, kDialRect.top + y);
            const int darker =
                static_cast<int>((before >> 8) & 0xFF) - static_cast<int>((now >> 8) & 0xFF);
            if (now != before) ++dot.pixels;
            if (darker > 0) {
                dot.x += x * darker;
                dot.y += y * darker;
                weight += darker;
            }
        }
    }
    if (weight > 0) {
        dot.x /= weight;
        dot.y /= weight;
    }
    return dot;
}

TEST_F(DialTest, TheDotIsLowerLeftAtZeroTopAtHalfLowerRightAtOne) {
    struct Case {
        float value;
        double x, y; // the dot's centre: 16 -/+ 10 sin / cos of (angle x 0.75 + 45) degrees
    };
    const double r = 10.0 * std::sqrt(0.5);
    const Case cases[] = {{0.0f, 16 - r, 16 + r}, {0.5f, 16, 6}, {1.0f, 16 + r, 16 + r}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        makeDial(c.value);
        const Dot dot = findDot(driver::capture(window()), background->view());
        EXPECT_GT(dot.pixels, 4);
        EXPECT_LE(dot.pixels, 16); // a 3 x 3 dot spread over at most 4 x 4 pixels
        EXPECT_NEAR(dot.x, c.x, 0.75);
        EXPECT_NEAR(dot.y, c.y, 0.75);
        removeDial();
    }
}

} // namespace
} // namespace kavet::test
