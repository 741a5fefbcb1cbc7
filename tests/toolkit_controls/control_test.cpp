// CControl: the dirty rule, bounce, back offset, the double-click test with its 250 ms floor
// and the idle hook that keeps the editor alive during tracking loops.
#include "fixture.h"

#include <cmath>
#include <limits>

using namespace toolkit;
using namespace kavet;
using namespace kavet::test;

namespace {

const CRectangle kArea(20, 30, 60, 50);

TEST(ControlDefaults, NewControlHasTheDocumentedStartValues) {
    CControl control(kArea, nullptr, 7);
    EXPECT_EQ(control.getTag(), 7);
    EXPECT_EQ(control.getValue(), 0.0f);
    EXPECT_EQ(control.getOldValue(), 1.0f);
    EXPECT_EQ(control.getDefaultValue(), 0.5f);
    EXPECT_EQ(control.getMin(), 0.0f);
    EXPECT_EQ(control.getMax(), 1.0f);
    EXPECT_FLOAT_EQ(control.getWheelInc(), 0.1f);
    EXPECT_TRUE(control.getMouseEnabled());
    EXPECT_FALSE(control.getTransparency());
    EXPECT_EQ(control.getBackOffset(), CPosition(0, 0));
    // Old value 1.0 against value 0.0: a new control is drawn on the first update.
    EXPECT_TRUE(control.isDirty());
}

TEST(ControlDirtyRule, DirtyWhenValueLeftTheLastCleanPointOrWhenMarked) {
    struct Case {
        float value, oldValue;
        bool flag;
        bool dirty;
    } cases[] = {
        {0.25f, 0.25f, false, false}, {0.25f, 0.5f, false, true}, {0.25f, 0.25f, true, true},
        {-1.0f, -1.0f, false, false}, {1.0f, 1.0f, false, false},
    };
    for (const Case& c : cases) {
        CControl control(kArea);
        control.setValue(c.value);
        control.setDirty(c.flag);
        control.setOldValue(c.oldValue); // after setDirty, which moves the old value
        EXPECT_EQ(control.isDirty(), c.dirty) << c.value << " " << c.oldValue << " " << c.flag;
    }
}

TEST(ControlDirtyRule, MarkingDirtyMovesTheOldValueOffTheValue) {
    struct Case {
        float value, oldValueAfter;
    } cases[] = {{0.3f, -1.0f}, {0.0f, -1.0f}, {-1.0f, 0.0f}, {2.0f, -1.0f}};
    for (const Case& c : cases) {
        CControl control(kArea);
        control.setValue(c.value);
        control.setDirty(true);
        EXPECT_EQ(control.getOldValue(), c.oldValueAfter) << c.value;
        EXPECT_TRUE(control.isDirty()) << c.value;
        // Clearing the flag alone is not enough while the old value differs...
        control.CView::setDirty(false);
        EXPECT_TRUE(control.isDirty()) << c.value;
        // ...setDirty(false) brings the old value back onto the value.
        control.setDirty(false);
        EXPECT_EQ(control.getOldValue(), c.value);
        EXPECT_FALSE(control.isDirty()) << c.value;
    }
}

TEST(ControlDirtyRule, SettingTheValueAloneMakesTheControlDirty) {
    CControl control(kArea);
    control.setDirty(false);
    control.setValue(0.75f);
    EXPECT_TRUE(control.isDirty());
    EXPECT_EQ(control.getOldValue(), 0.0f); // accessors have no side effects
}

TEST(ControlBounce, ClampsTheValueIntoTheRange) {
    struct Case {
        float min, max, value, expected;
    } cases[] = {
        {0.0f, 1.0f, 0.5f, 0.5f},    {0.0f, 1.0f, 1.5f, 1.0f},    {0.0f, 1.0f, -0.5f, 0.0f},
        {0.0f, 1.0f, 1.0f, 1.0f},    {0.0f, 1.0f, 0.0f, 0.0f},    {-2.0f, 3.0f, 4.0f, 3.0f},
        {-2.0f, 3.0f, -2.5f, -2.0f}, {0.25f, 0.75f, 0.8f, 0.75f},
    };
    for (const Case& c : cases) {
        CControl control(kArea);
        control.setMin(c.min);
        control.setMax(c.max);
        control.setValue(c.value);
        control.bounceValue();
        EXPECT_EQ(control.getValue(), c.expected) << c.value << " in " << c.min << ".." << c.max;
    }
}

TEST(ControlBackOffset, CopyBackOffsetTakesTheControlsTopLeftCorner) {
    CControl control(kArea);
    control.setBackOffset(CPosition(3, 4));
    EXPECT_EQ(control.getBackOffset(), CPosition(3, 4));
    control.copyBackOffset();
    EXPECT_EQ(control.getBackOffset(), CPosition(20, 30));
}

// A windowless frame with an editor, so that getTicks reads GetTickCount.
class ControlInFrame : public ::testing::Test {
protected:
    void SetUp() override {
        driver::useVirtualClock(1000, 0); // reading the clock does not move it
        driver::resetInput();
        hostCalls().clear();
        effect = new TestEffect;
        editor = new FrameEditor(effect, 100, 100);
    }
    void TearDown() override {
        editor->close();
        delete effect;
        driver::setDoubleClickTime(500);
    }
    CControl* addControl() {
        editor->open(nullptr);
        auto* control = new CControl(kArea);
        editor->getFrame()->addView(control);
        return control;
    }
    // isDoubleClick at each of the times (ms from the clock's start at 1000).
    std::vector<bool> clicksAt(CControl* control, std::initializer_list<DWORD> times) {
        std::vector<bool> answers;
        for (DWORD t : times) {
            driver::advance(1000 + t - driver::now());
            answers.push_back(control->isDoubleClick());
        }
        return answers;
    }
    TestEffect* effect = nullptr;
    FrameEditor* editor = nullptr;
};

TEST_F(ControlInFrame, DoubleClickDelayIsTheSystemTimeButAtLeast250) {
    struct Case {
        UINT system;
        std::int32_t delay;
    } cases[] = {{200, 250}, {100, 250}, {250, 250}, {251, 251}, {500, 500}};
    for (const Case& c : cases) {
        driver::setDoubleClickTime(c.system);
        CControl control(kArea);
        EXPECT_EQ(control.getDoubleClickDelay(), c.delay) << c.system;
    }
}

TEST_F(ControlInFrame, ControlMadeWith200msSystemTimePairsClicks249msApart) {
    driver::setDoubleClickTime(200);
    CControl* control = addControl();
    EXPECT_EQ(clicksAt(control, {0, 249}), (std::vector<bool>{false, true}));
    EXPECT_EQ(clicksAt(control, {1000, 1250}), (std::vector<bool>{false, false}));
}

TEST_F(ControlInFrame, DoubleClickNeedsTheSecondClickStrictlyWithinTheDelay) {
    driver::setDoubleClickTime(400);
    CControl* control = addControl();
    EXPECT_EQ(clicksAt(control, {0, 399}), (std::vector<bool>{false, true}));
    EXPECT_EQ(clicksAt(control, {1000, 1400}), (std::vector<bool>{false, false}));
    // 1400 started a new pair.
    EXPECT_EQ(clicksAt(control, {1401}), (std::vector<bool>{true}));
}

TEST_F(ControlInFrame, TheSecondClickOfAPairDoesNotStartAnother) {
    driver::setDoubleClickTime(400);
    CControl* control = addControl();
    EXPECT_EQ(clicksAt(control, {0, 100, 200, 300}), (std::vector<bool>{false, true, false, true}));
}

TEST_F(ControlInFrame, ClickAtTickZeroNeverPairs) {
    driver::setDoubleClickTime(400);
    driver::useVirtualClock(0, 0);
    CControl* control = addControl();
    EXPECT_FALSE(control->isDoubleClick()); // stored as 0: not a positive time
    driver::advance(10);
    EXPECT_FALSE(control->isDoubleClick());
    driver::advance(10);
    EXPECT_TRUE(control->isDoubleClick());
}

TEST_F(ControlInFrame, WithoutAFrameOrEditorTheClockIsZeroAndNothingPairs) {
    CControl loose(kArea);
    EXPECT_FALSE(loose.isDoubleClick());
    EXPECT_FALSE(loose.isDoubleClick());
    // A frame without an editor answers 0 ticks as well.
    CFrame bare(CRectangle(0, 0, 50, 50), nullptr, nullptr);
    auto* control = new CControl(kArea);
    bare.addView(control);
    EXPECT_FALSE(control->isDoubleClick());
    EXPECT_FALSE(control->isDoubleClick());
}

TEST_F(ControlInFrame, DoIdleStuffRunsTheEditorsIdleAndTheHostsIdle) {
    CControl* control = addControl();
    const int before = editor->idleCalls;
    control->doIdleStuff();
    EXPECT_EQ(editor->idleCalls, before + 1);
    EXPECT_EQ(hostCount(audioMasterIdle), 1);
    // A control outside any frame has nobody to call.
    CControl loose(kArea);
    loose.doIdleStuff();
    EXPECT_EQ(editor->idleCalls, before + 1);
}

} // namespace
