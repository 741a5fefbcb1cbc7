// The editor base and its wiring to the effect: registration and ownership, the editor
// opcodes, doIdleStuff pacing and master idle, edits and the wheel through the editor.
#include "editor_harness.h"
#include "frame_fixture.h"
#include "toolkit/aeffguieditor.h"
#include "vst/audioeffect.h"

#include <vector>

using namespace kavet;
using namespace kavet::test;
using namespace toolkit;

namespace {

AEffEditor* editorSeenByHost = nullptr; // the host runs the editor's idle from master idle

// The recording host, which also answers yes to everything and idles the editor it was shown.
VstIntPtr VSTCALLBACK idlingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt) {
    recordingHost(effect, opcode, index, value, ptr, opt);
    if (opcode == audioMasterIdle && editorSeenByHost) editorSeenByHost->idle();
    return opcode == audioMasterVersion ? 2400 : 1;
}

class CountingFrame : public CFrame {
public:
    using CFrame::CFrame;
    void idle() override {
        ++idles;
        CFrame::idle();
    }
    int idles = 0;
};

// Builds a frame 265 x 534 with one child in the window the host gives.
class TestEditor : public FrameEditor {
public:
    TestEditor(AudioEffect* effect, int* deleted)
        : FrameEditor(effect, 265, 534), deleted(deleted) {}
    ~TestEditor() override {
        if (deleted) ++*deleted;
    }
    bool open(void* window) override {
        AEffGUIEditor::open(window);
        countingFrame = new CountingFrame(CRectangle(0, 0, 265, 534), window, this);
        view = new ColorView(CRectangle(20, 30, 120, 80), 0xFF0000);
        countingFrame->addView(view); // the frame takes our reference and deletes the view
        frame = countingFrame;
        return true;
    }
    void close() override {
        FrameEditor::close();
        countingFrame = nullptr;
    }
    int* deleted;
    CountingFrame* countingFrame = nullptr;
    ColorView* view = nullptr;
};

class EditorTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        hostCalls().clear();
        editorSeenByHost = nullptr;
    }
    void TearDown() override {
        delete effect; // deletes the editor, which deletes an open frame
        editorSeenByHost = nullptr;
        FrameTest::TearDown();
    }
    VstIntPtr dispatch(VstInt32 opcode, void* ptr = nullptr) {
        return effect->dispatcher(opcode, 0, 0, ptr, 0.0f);
    }

    TestEffect* effect = new TestEffect(4, idlingHost);
    int editorsDeleted = 0;
};

} // namespace

TEST_F(EditorTest, EditorRegistersWithItsEffectAndIsDeletedWithIt) {
    EXPECT_EQ(effect->getAeffect()->flags & effFlagsHasEditor, 0);
    auto* editor = new TestEditor(effect, &editorsDeleted);
    EXPECT_EQ(effect->getEditor(), editor);
    EXPECT_NE(effect->getAeffect()->flags & effFlagsHasEditor, 0);
    EXPECT_EQ(editor->getEffect(), effect);
    delete effect;
    effect = nullptr;
    EXPECT_EQ(editorsDeleted, 1);
}

TEST_F(EditorTest, EditorOpcodesAnswerZeroWithoutAnEditor) {
    ERect* rect = reinterpret_cast<ERect*>(0x1);
    for (VstInt32 opcode : {effEditGetRect, effEditOpen, effEditClose, effEditIdle}) {
        EXPECT_EQ(
            effect->dispatcher(opcode, 0, 0, opcode == effEditGetRect ? &rect : nullptr, 0.0f), 0)
            << opcode;
    }
    EXPECT_EQ(rect, reinterpret_cast<ERect*>(0x1)); // untouched
}

TEST_F(EditorTest, EditorOpcodesReachTheEditor) {
    auto* editor = new TestEditor(effect, &editorsDeleted);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->bottom, 534);
    EXPECT_EQ(rect->right, 265);
    EXPECT_EQ(dispatch(effEditGetRect, nullptr), 0); // no place to store it

    EXPECT_EQ(dispatch(effEditOpen, host), 1);
    ASSERT_NE(editor->getFrame(), nullptr);
    HWND w = editor->getFrame()->getWindow();
    EXPECT_EQ(GetParent(w), host);
    EXPECT_TRUE(editor->isEditorOpen());
    driver::pump();

    editor->view->setDirty(true);
    EXPECT_EQ(dispatch(effEditIdle), 1);
    EXPECT_EQ(editor->countingFrame->idles, 1);
    EXPECT_EQ(editor->view->draws, 2); // the first paint, then the idle update

    EXPECT_EQ(dispatch(effEditClose), 1);
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(editor->isEditorOpen());
    EXPECT_EQ(dispatch(effEditIdle), 1); // idle without a frame does nothing
}

TEST_F(EditorTest, DoIdleStuffPacesPassesTwoHundredMillisecondsApart) {
    driver::useVirtualClock(1000, 0); // GetTickCount reads do not move time here
    auto* editor = new TestEditor(effect, &editorsDeleted); // last ticks = 1000
    struct Step {
        DWORD advanceBy;
        int passes;      // idle passes so far
        DWORD timeAfter; // the clock after the call: 4 ms of sleep for an early pass
    } steps[] = {
        {0, 1, 1000},   // at last ticks: a pass, no sleep
        {100, 2, 1104}, // 100 ms later: sleeps 4 ms, then still a pass
        {300, 3, 1404}, // after the 200 ms: a pass without sleeping
        {0, 4, 1408},   // at once again: early, sleeps
    };
    for (const Step& s : steps) {
        driver::advance(s.advanceBy);
        editor->doIdleStuff();
        EXPECT_EQ(editor->idleCalls, s.passes) << s.timeAfter;
        EXPECT_EQ(hostCount(audioMasterIdle), s.passes) << s.timeAfter;
        EXPECT_EQ(driver::now(), s.timeAfter);
    }
    // The clock went backwards (more than 250 ms before the planned pass): no pass.
    driver::useVirtualClock(500, 0);
    editor->doIdleStuff();
    EXPECT_EQ(editor->idleCalls, 4);
    EXPECT_EQ(hostCount(audioMasterIdle), 4);
    EXPECT_EQ(driver::now(), 504u);
}

TEST_F(EditorTest, DoIdleStuffSkipsEarlyPassesWhileLastTicksIsBelow250) {
    driver::useVirtualClock(0, 0);
    auto* editor = new TestEditor(effect, &editorsDeleted);
    editor->doIdleStuff(); // t = 0: a pass; the next is planned for t = 200
    driver::advance(10);
    editor->doIdleStuff(); // 200 - 250 wraps around: the early pass is dropped
    EXPECT_EQ(editor->idleCalls, 1);
}

TEST_F(EditorTest, DoIdleStuffPaintsUpdatesAndLetsTheHostIdleWithoutReentry) {
    auto* editor = new TestEditor(effect, &editorsDeleted);
    editorSeenByHost = editor;
    dispatch(effEditOpen, host);
    CountingFrame* frame = editor->countingFrame;
    EXPECT_TRUE(frame->isFirstDraw());
    driver::advance(1000);
    editor->doIdleStuff();
    // The pending first paint was dispatched by the pass itself.
    EXPECT_FALSE(frame->isFirstDraw());
    EXPECT_EQ(editor->view->draws, 1);
    // The host's idle called the editor's idle while inside: the frame was not asked again.
    EXPECT_EQ(hostCount(audioMasterIdle), 1);
    EXPECT_EQ(editor->idleCalls, 2);
    EXPECT_EQ(frame->idles, 1);
    // A control's idle call goes through the frame to the editor.
    driver::advance(1000);
    editor->view->setDirty(true);
    frame->doIdleStuff();
    EXPECT_EQ(editor->view->draws, 2);
}

TEST_F(EditorTest, EditsAndTicksGoThroughTheFrameToTheHost) {
    auto* editor = new TestEditor(effect, &editorsDeleted);
    dispatch(effEditOpen, host);
    editor->getFrame()->beginEdit(3);
    editor->getFrame()->endEdit(3);
    ASSERT_EQ(hostCalls().size(), 2u);
    EXPECT_EQ(hostCalls()[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(hostCalls()[0].index, 3);
    EXPECT_EQ(hostCalls()[1].opcode, audioMasterEndEdit);
    EXPECT_EQ(hostCalls()[1].index, 3);
    EXPECT_NE(editor->getFrame()->getTicks(), 0u);
    CFrame lonely(CRectangle(0, 0, 10, 10), nullptr, nullptr);
    EXPECT_EQ(lonely.getTicks(), 0u);
}

TEST_F(EditorTest, WheelAndKeysThroughTheEditor) {
    auto* editor = new TestEditor(effect, &editorsDeleted);
    EXPECT_FALSE(editor->onWheel(1.0f)); // no frame yet
    dispatch(effEditOpen, host);
    driver::pump();
    driver::moveTo(host, 40, 50);
    EXPECT_TRUE(editor->onWheel(-1.0f));
    ASSERT_EQ(editor->view->wheelPoints.size(), 1u);
    EXPECT_EQ(editor->view->wheelPoints[0], CPosition(40, 50));
    EXPECT_EQ(editor->view->wheelDistances[0], -1.0f);
    driver::moveTo(host, 200, 300);
    EXPECT_FALSE(editor->onWheel(1.0f)); // nothing under the pointer

    VstKeyCode key{'x', 0, 0};
    EXPECT_FALSE(editor->onKeyDown(key));
    EXPECT_FALSE(editor->onKeyUp(key));
    editor->view->keyAnswer = 1;
    EXPECT_TRUE(editor->onKeyDown(key));

    EXPECT_TRUE(editor->setKnobMode(2));
    EXPECT_EQ(editor->getFrame()->getKnobMode(), 2);
}
