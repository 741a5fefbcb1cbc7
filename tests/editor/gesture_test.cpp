// Every user gesture on the editor reaches the host as begin, automate..., end with the
// parameter's index; the editor-only switches send begin and end alone; readouts and the
// options page send nothing. The amounts are those of the fader and dial laws.
#include "editor_host.h"

#include "editor/ndial.h"
#include "editor/nfader.h"
#include "editor/nsplash.h"
#include "pixels/fader_law.h"

#include "editor/layout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kavet::test {
namespace {

using editor::nDial;
using editor::nFader;

constexpr layout::Rect kFader = layout::rect(layout::Id::Fader);
constexpr layout::Rect kTrimDial = layout::rect(layout::Id::TrimDial);
constexpr layout::Rect kGainField = layout::rect(layout::Id::GainValue);
constexpr layout::Rect kLogo = layout::rect(layout::Id::Options);
constexpr int kCapX = kFader.left + 80;                                  // the fader cap's column
constexpr int kTrimX = kTrimDial.left + 15, kTrimY = kTrimDial.top + 15; // the dial's centre
constexpr int kGainFieldX = kGainField.left + 28, kGainFieldY = kGainField.top + 7;
constexpr int kLogoX = kLogo.left + 20, kLogoY = kLogo.top + 20;

// Checks that `calls` is begin(index), one or more automate(index, ...), end(index), and
// that the last automated value is what the effect now holds.
void expectGesture(EditorHost& h, VstInt32 index) {
    const std::vector<HostCall>& calls = EditorHost::calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls.front().index, index);
    EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
    EXPECT_EQ(calls.back().index, index);
    for (std::size_t i = 1; i + 1 < calls.size(); ++i) {
        EXPECT_EQ(calls[i].opcode, audioMasterAutomate) << "call " << i;
        EXPECT_EQ(calls[i].index, index) << "call " << i;
    }
    EXPECT_EQ(calls[calls.size() - 2].opt, h.record()->getParameter(h.record(), index));
}

nFader& fader(const EditorHost& h) {
    return *dynamic_cast<nFader*>(h.control(kGain));
}

// The cap's middle in editor coordinates: the fader's left + 80, top + cap row + 29.
int capMiddleY(const EditorHost& h) {
    return kFader.top + fader(h).model().capRow() + 29;
}

TEST(Gestures, FaderDragAutomatesTheGainBetweenBeginAndEnd) {
    EditorHost h;
    const float start = fader(h).getPosition();
    h.drag(kCapX, capMiddleY(h), kCapX, capMiddleY(h) - 20);
    expectGesture(h, kGain);
    EXPECT_NEAR(fader(h).getPosition(), start + 20 * editor::kFaderPixel, 1e-6);
    EXPECT_GT(h.plug().getParameter(kGain), 0.5f);
}

TEST(Gestures, FaderDragWithShiftMovesATenth) {
    EditorHost h;
    const float start = fader(h).getPosition();
    h.drag(kCapX, capMiddleY(h), kCapX, capMiddleY(h) - 20, 10, driver::Shift);
    expectGesture(h, kGain);
    EXPECT_NEAR(fader(h).getPosition(), start + 2 * editor::kFaderPixel, 1e-6);
}

TEST(Gestures, ControlClickOnTheFaderResetsToZeroDecibels) {
    EditorHost h;
    h.record()->setParameter(h.record(), kGain, 0.8f);
    h.click(kCapX, capMiddleY(h), driver::Control);
    expectGesture(h, kGain);
    EXPECT_EQ(h.plug().getParameter(kGain), 0.5f);
}

TEST(Gestures, DialDragOf30RightAnd10UpTurns30Degrees) {
    for (bool shift : {false, true}) {
        SCOPED_TRACE(shift ? "with Shift" : "without Shift");
        EditorHost h;
        auto* trim = dynamic_cast<nDial*>(h.control(kTrim));
        const float start = trim->getAngle();
        h.drag(kTrimX, kTrimY, kTrimX + 30, kTrimY - 10, 10,
               shift ? driver::Shift : driver::NoModifier);
        expectGesture(h, kTrim);
        EXPECT_NEAR(trim->getAngle() - start, shift ? 3.0f : 30.0f, 1e-3);
    }
}

TEST(Gestures, DoubleClickOnTheDialResetsIt) {
    EditorHost h;
    h.record()->setParameter(h.record(), kTrim, 0.9f);
    HWND w = h.frameWindow();
    driver::Script()
        .moveTo(w, kTrimX, kTrimY)
        .press()
        .wait(20)
        .release()
        .wait(60)
        .press()
        .wait(20)
        .release()
        .start();
    driver::runScript();
    driver::pump();
    EXPECT_EQ(h.plug().getParameter(kTrim), 0.5f);
    const std::vector<HostCall>& calls = EditorHost::calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
    EXPECT_EQ(calls.back().index, kTrim);
}

TEST(Gestures, SwitchesToggleOnThePressWithTheirIndex) {
    struct Case {
        VstInt32 index;
        int x, y;
    };
    const Case cases[] = {{kPhase, 189, 305}, {kMute, 189, 379}, {kBypass, 189, 342}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EditorHost h;
        h.click(c.x, c.y);
        expectGesture(h, c.index);
        EXPECT_EQ(h.plug().getParameter(c.index), 1.0f);
    }
}

TEST(Gestures, PreAndFineSwitchesSendBeginAndEndOnly) {
    for (std::int32_t tag : {editor::kTagPre, editor::kTagFine}) {
        SCOPED_TRACE(tag);
        EditorHost h;
        toolkit::CRectangle size;
        h.control(tag)->getViewSize(size);
        h.click(size.left + 8, size.top + 8);
        const std::vector<HostCall>& calls = EditorHost::calls();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
        EXPECT_EQ(calls[0].index, tag);
        EXPECT_EQ(calls[1].opcode, audioMasterEndEdit);
        EXPECT_EQ(calls[1].index, tag);
        EXPECT_EQ(h.control(tag)->getValue(), 1.0f);
    }
}

TEST(Gestures, TypedGainAppliedWithReturn) {
    EditorHost h;
    h.click(kGainFieldX, kGainFieldY); // the Gain value field opens its entry window
    driver::typeText("-6");
    driver::key(VK_RETURN);
    driver::pump();
    const float expected = static_cast<float>(std::cbrt(std::pow(10.0, -6.0 / 20.0) / 8.0));
    EXPECT_NEAR(h.plug().getParameter(kGain), expected, 1e-6);
    expectGesture(h, kGain); // a typed value is a gesture of its own
    EXPECT_EQ(fader(h).getValue(), h.plug().getParameter(kGain));
}

TEST(Gestures, TypedGainDroppedWhenTheFieldLosesFocus) {
    EditorHost h;
    const std::string before = h.text(kGain);
    h.click(kGainFieldX, kGainFieldY);
    driver::typeText("3");
    driver::pump();
    h.click(30, 300); // elsewhere on the background
    EXPECT_EQ(h.plug().getParameter(kGain), 0.5f);
    EXPECT_EQ(h.text(kGain), before);
    for (const HostCall& c : EditorHost::calls())
        EXPECT_NE(c.opcode, audioMasterAutomate);
}

TEST(Gestures, OptionsPageBallisticsDragReachesTheEffectAndCloseRestores) {
    EditorHost h;
    h.click(kLogoX, kLogoY); // open the page
    auto* options = dynamic_cast<editor::nSplash*>(h.control(editor::kTagOptions));
    ASSERT_TRUE(options->isOpen());
    // The Ballistics group: x 32, y 130, four options of 14 rows.
    h.drag(40, 131, 40, 200);
    EXPECT_EQ(h.plug().getPrefs()->get(kPrefBallistics), 3);
    h.click(70, 349); // Close
    EXPECT_FALSE(options->isOpen());
    EXPECT_EQ(h.plug().getPrefs()->get(kPrefBallistics), 0);
    EXPECT_TRUE(EditorHost::calls().empty());
}

} // namespace
} // namespace kavet::test
