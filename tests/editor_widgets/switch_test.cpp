// nSwitch in an editor frame: the toggle on the press with its edit gesture, and the face and
// LED halves drawn from the strip (on, off, LED dark).
#include "widget_fixture.h"

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

class SwitchTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        // The Mute switch of the editor: tag 3, red LED strip 113 (104 x 19).
        sw = new nSwitch(CRectangle(179, 371, 231, 390), 3, &listener, 113, 0.0f);
        frame->addView(sw);
        driver::pump(); // first paint
    }
    CountingListener listener;
    nSwitch* sw = nullptr;
};

TEST_F(SwitchTest, TogglesOnThePressAndNotOnHoldOrRelease) {
    driver::moveTo(window(), 190, 380);
    driver::press();
    driver::pump();
    EXPECT_EQ(sw->getValue(), 1.0f);
    ASSERT_EQ(listener.values, std::vector<float>{1.0f});
    EXPECT_EQ(frame->getFocusView(), sw);
    const std::vector<std::pair<VstInt32, VstInt32>> oneGesture = {{audioMasterBeginEdit, 3},
                                                                   {audioMasterEndEdit, 3}};
    EXPECT_EQ(hostGestures(), oneGesture);

    driver::run(300); // held
    driver::moveTo(window(), 200, 385);
    driver::pump();
    driver::release();
    driver::pump();
    EXPECT_EQ(sw->getValue(), 1.0f);
    EXPECT_EQ(listener.values.size(), 1u);
    EXPECT_EQ(hostGestures().size(), 2u);

    click(179, 371); // the top-left corner
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
        driver::moveTo(window(), 200, 380);
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
    CDIB strip(113);
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
        EXPECT_EQ(differingPixels(image, 179, 371, strip, c.faceSource, 0, 36, 19), 0)
            << c.value << " " << c.dark;
        EXPECT_EQ(differingPixels(image, 215, 371, strip, c.ledSource, 0, 16, 19), 0)
            << c.value << " " << c.dark;
    }
}

TEST_F(SwitchTest, AnIdleDrawsTheToggledSwitch) {
    CDIB strip(113);
    click(190, 380);
    frame->idle();
    const driver::Image image = driver::capture(window());
    EXPECT_EQ(differingPixels(image, 179, 371, strip, 52, 0, 52, 19), 0);
}

} // namespace
