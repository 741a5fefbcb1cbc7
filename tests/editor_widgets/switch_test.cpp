// nSwitch in an editor frame: the toggle on the press with its edit gesture, and the face and
// LED halves drawn from the strip (on, off, LED dark).
#include "widget_fixture.h"

#include "editor/layout.h"
#include "editor/nswitch.h"

using namespace kavet;
using namespace kavet::test;
using kavet::editor::CDIB;
using kavet::editor::nSwitch;
using toolkit::CRectangle;

namespace {

struct CountingListener : toolkit::CControlListener {
    void valueChanged(toolkit::CDrawContext*, toolkit::CControl* control) override {
        values.push_back(control->getValue());
    }
    std::vector<float> values;
};

// The Mute switch of the editor: red LED strip (104 x 19), 36 columns of face, then the LED.
constexpr layout::Control kMuteSwitch = layout::control(layout::Id::Mute);
constexpr layout::Rect kBox = kMuteSwitch.rect;
constexpr std::int32_t kTag = kMuteSwitch.tag;

class SwitchTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        sw = new nSwitch(CRectangle(kBox.left, kBox.top, kBox.right(), kBox.bottom()), kTag,
                         &listener, kMuteSwitch.bitmaps[0], 0.0f);
        frame->addView(sw);
        driver::pump(); // first paint
    }
    CountingListener listener;
    nSwitch* sw = nullptr;
};

TEST_F(SwitchTest, TogglesOnThePressAndNotOnHoldOrRelease) {
    driver::moveTo(window(), kBox.left + 11, kBox.top + 9);
    driver::press();
    driver::pump();
    EXPECT_EQ(sw->getValue(), 1.0f);
    ASSERT_EQ(listener.values, std::vector<float>{1.0f});
    EXPECT_EQ(frame->getFocusView(), sw);
    const std::vector<std::pair<VstInt32, VstInt32>> oneGesture = {{audioMasterBeginEdit, kTag},
                                                                   {audioMasterEndEdit, kTag}};
    EXPECT_EQ(hostGestures(), oneGesture);

    driver::run(300); // held
    driver::moveTo(window(), kBox.left + 21, kBox.top + 14);
    driver::pump();
    driver::release();
    driver::pump();
    EXPECT_EQ(sw->getValue(), 1.0f);
    EXPECT_EQ(listener.values.size(), 1u);
    EXPECT_EQ(hostGestures().size(), 2u);

    click(kBox.left, kBox.top); // the top-left corner
    EXPECT_EQ(hostGestures().size(), 4u);
    EXPECT_EQ(sw->getValue(), 0.0f);
}

TEST_F(SwitchTest, AnyButtonOrModifierToggles) {
    struct Case {
        driver::Button button;
        unsigned modifiers;
    } cases[] = {{driver::Button::Right, driver::NoModifier},
                 {driver::Button::Left, driver::Shift},
                 {driver::Button::Left, driver::Control},
                 {driver::Button::Middle, driver::Alt}};
    float expected = 0.0f;
    for (const Case& c : cases) {
        driver::moveTo(window(), kBox.left + 21, kBox.top + 9);
        driver::press(c.button, c.modifiers);
        driver::pump();
        driver::release(c.button);
        driver::setModifiers(driver::NoModifier);
        driver::pump();
        expected = 1.0f - expected;
        EXPECT_EQ(sw->getValue(), expected) << static_cast<int>(c.button) << " " << c.modifiers;
    }
}

TEST_F(SwitchTest, DrawsFaceAndLedFromTheStripHalves) {
    CDIB strip(kMuteSwitch.bitmaps[0]);
    ASSERT_EQ(strip.getWidth(), 104);
    struct Case {
        float value;
        bool dark;
        int faceSource, ledSource; // strip columns of the face and the LED
    } cases[] = {
        {0.0f, false, 0, 36}, {1.0f, false, 52, 88}, {1.0f, true, 52, 36}, {0.0f, true, 0, 36}};
    for (const Case& c : cases) {
        sw->setValue(c.value);
        sw->setLedDark(c.dark); // draws at once
        EXPECT_TRUE(sw->isLedDark() == c.dark);
        const driver::Image image = driver::capture(window());
        EXPECT_EQ(
            differingPixels(image, kBox.left, kBox.top, strip, c.faceSource, 0, 36, kBox.height), 0)
            << c.value << " " << c.dark;
        EXPECT_EQ(differingPixels(image, kBox.left + 36, kBox.top, strip, c.ledSource, 0, 16,
                                  kBox.height),
                  0)
            << c.value << " " << c.dark;
    }
}

TEST_F(SwitchTest, AnIdleDrawsTheToggledSwitch) {
    CDIB strip(kMuteSwitch.bitmaps[0]);
    click(kBox.left + 11, kBox.top + 9);
    frame->idle();
    const driver::Image image = driver::capture(window());
    EXPECT_EQ(differingPixels(image, kBox.left, kBox.top, strip, 52, 0, kBox.width, kBox.height),
              0);
}

} // namespace
