// The editor as the effect and the host see it: its record and rectangle, the control table
// of the build, parameter echoes, the chunk's editor words, idle (meters, readouts, maxima,
// lamps, fine mode) and the cases where no editor window can be made.
#include "editor_host.h"

#include "editor/layout.h"
#include "editor/nfader.h"
#include "editor/nsplash.h"
#include "editor/nswitch.h"
#include "toolkit/frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <new>

namespace kavet::test {
namespace {

using editor::nFader;
using editor::nSplash;
using editor::nSwitch;

constexpr layout::Rect kPre = layout::rect(layout::Id::Pre);
constexpr layout::Rect kFine = layout::rect(layout::Id::Fine);
constexpr layout::Rect kBypassRect = layout::rect(layout::Id::Bypass);
constexpr layout::Rect kLogo = layout::rect(layout::Id::Options);
// The left readouts of the build (the mono build moves them right).
constexpr layout::Rect kRmsLeft = layout::rect(kStereo ? layout::Id::RmsLeft : layout::Id::RmsMono);

nFader& fader(const EditorHost& h) {
    return *dynamic_cast<nFader*>(h.control(kGain));
}

// Stores preference words in the registry for the next effect; restored by the destructor.
struct StoredPrefs {
    explicit StoredPrefs(std::initializer_list<std::pair<int, int>> words) {
        PlugPrefs prefs;
        for (auto [word, value] : words)
            prefs.set(word, value);
        prefs.savePrefs();
    }
    ~StoredPrefs() { PlugPrefs().savePrefs(); }
};

TEST(EditorRecord, HasAnEditorOf265By534) {
    EditorHost h(false);
    EXPECT_EQ(h.record()->flags & effFlagsHasEditor, effFlagsHasEditor);
    ERect* rect = nullptr;
    ASSERT_EQ(h.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, layout::kEditorHeight);
    EXPECT_EQ(rect->right, layout::kEditorWidth);
}

// The controls of the build in creation order (the frame's child order).
std::vector<const layout::Control*> expectedControls() {
    std::vector<const layout::Control*> rows;
    for (const layout::Control& c : layout::kControls) {
        if (layout::inBuild(c, kStereo)) rows.push_back(&c);
    }
    return rows;
}

TEST(EditorOpen, BuildsTheControlTableOfTheBuildInOrder) {
    EditorHost h;
    const std::vector<const layout::Control*> rows = expectedControls();
    ASSERT_EQ(rows.size(), kStereo ? 16u : 12u);
    std::size_t i = 0;
    for (auto* link = h.editor().getEditorFrame()->getFirstChild(); link; link = link->pNext) {
        ASSERT_LT(i, rows.size());
        auto* control = dynamic_cast<toolkit::CControl*>(link->pView);
        ASSERT_NE(control, nullptr) << "child " << i;
        toolkit::CRectangle size;
        control->getViewSize(size);
        const layout::Control& r = *rows[i];
        EXPECT_EQ(control->getTag(), r.tag) << "child " << i;
        EXPECT_EQ(size.left, r.rect.left) << "child " << i;
        EXPECT_EQ(size.top, r.rect.top) << "child " << i;
        EXPECT_EQ(size.width(), r.rect.width) << "child " << i;
        EXPECT_EQ(size.height(), r.rect.height) << "child " << i;
        ++i;
    }
    EXPECT_EQ(i, rows.size());
    EXPECT_NE(h.frameWindow(), nullptr);
}

TEST(EditorOpen, ParentOfAnotherWindowSystemFailsCleanly) {
    EditorHost h(false);
    // An X11 window id as a Linux host hands it: no window of this layer.
    void* x11Window = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x3a00007));
    EXPECT_EQ(h.dispatch(effEditOpen, 0, 0, x11Window), 0);
    EXPECT_EQ(h.dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(h.editor().getFrame(), nullptr);
    EXPECT_EQ(toolkit::CFrame::getWindowClassUseCount(), 0);
    EXPECT_EQ(h.dispatch(effEditIdle), 1);
    EXPECT_EQ(h.dispatch(effEditClose), 1);
    // The effect works on, and a real window still opens the editor afterwards.
    h.record()->setParameter(h.record(), kGain, 0.25f);
    EXPECT_EQ(h.record()->getParameter(h.record(), kGain), 0.25f);
    h.process(0.5f);
    EXPECT_TRUE(h.openEditor());
    EXPECT_NE(h.frameWindow(), nullptr);
    EXPECT_EQ(fader(h).getValue(), 0.25f);
}

TEST(EditorOpen, NewEditorShowsZeroDecibelsWithTheCapAtRow144) {
    EditorHost h;
    EXPECT_EQ(fader(h).getValue(), 0.5f);
    EXPECT_EQ(fader(h).model().capRow(), 144);
    EXPECT_FALSE(fader(h).isFineMode());
    EXPECT_EQ(h.control(editor::kTagFine)->getValue(), 0.0f);
    char display[64] = {};
    h.plug().getParameterDisplay(kGain, display);
    EXPECT_EQ(h.text(kGain), display);
}

TEST(EditorOpen, DefaultModeFineStartsTheFineSwitchAndFineModeWithTheRange) {
    StoredPrefs prefs{{kPrefDefaultMode, 1}, {kPrefFineRange, 2}};
    EditorHost h;
    EXPECT_EQ(h.control(editor::kTagFine)->getValue(), 1.0f);
    EXPECT_TRUE(fader(h).isFineMode());
    EXPECT_EQ(fader(h).model().fineRange(), 8.0f); // +-18 dB
}

TEST(EditorEcho, HostParameterChangesReachEveryControlWithThatTag) {
    EditorHost h;
    AEffect* e = h.record();
    e->setParameter(e, kGain, 0.25f);
    e->setParameter(e, kPhase, 1.0f);
    e->setParameter(e, kTrim, 2.0f); // clamped
    // The host's thread never touches the controls: they follow at the editor's idle.
    EXPECT_EQ(fader(h).getValue(), 0.5f);
    h.idle();
    EXPECT_EQ(fader(h).getValue(), 0.25f);
    char display[64] = {};
    h.plug().getParameterDisplay(kGain, display);
    EXPECT_EQ(h.text(kGain), display);
    EXPECT_EQ(h.control(kPhase)->getValue(), 1.0f);
    EXPECT_EQ(h.control(kTrim)->getValue(), 1.0f);
    EXPECT_TRUE(h.calls().empty()); // host changes are not reported back
}

TEST(EditorChunk, CarriesThePreAndFineSwitches) {
    EditorHost h;
    h.click(kPre.left + 10, kPre.top + 10); // Pre on
    void* data = nullptr;
    ASSERT_EQ(h.dispatch(effGetChunk, 0, 0, &data), kChunkBytes);
    const auto* chunk = static_cast<const StateChunk*>(data);
    EXPECT_EQ(chunk->editor[0], 1.0f);
    EXPECT_EQ(chunk->editor[1], 0.0f);

    // Closed, the editor has no switches: both words 0.
    h.closeEditor();
    ASSERT_EQ(h.dispatch(effGetChunk, 0, 0, &data), kChunkBytes);
    EXPECT_EQ(static_cast<const StateChunk*>(data)->editor[0], 0.0f);

    // A restore while closed opens the next editor with both switches on.
    StateChunk restore = *static_cast<const StateChunk*>(data);
    restore.editor[0] = 1.0f;
    restore.editor[1] = 1.0f;
    ASSERT_EQ(h.dispatch(effSetChunk, 0, kChunkBytes, &restore), kChunkBytes);
    ASSERT_TRUE(h.openEditor());
    EXPECT_EQ(h.control(editor::kTagPre)->getValue(), 1.0f);
    EXPECT_EQ(h.control(editor::kTagFine)->getValue(), 1.0f);

    // A restore while open moves the open switches.
    restore.editor[0] = 0.0f;
    ASSERT_EQ(h.dispatch(effSetChunk, 0, kChunkBytes, &restore), kChunkBytes);
    EXPECT_EQ(h.control(editor::kTagPre)->getValue(), 0.0f);
    EXPECT_EQ(h.control(editor::kTagFine)->getValue(), 1.0f);
}

TEST(EditorClose, SwitchStatesStartOverFromTheInitialStates) {
    EditorHost h;
    h.click(kFine.left + 10, kFine.top + 10); // Fine on
    EXPECT_EQ(h.control(editor::kTagFine)->getValue(), 1.0f);
    h.closeEditor();
    EXPECT_EQ(h.frameWindow(), nullptr);
    ASSERT_TRUE(h.openEditor());
    EXPECT_EQ(h.control(editor::kTagFine)->getValue(), 0.0f);
}

// Gain 0: the output is silent while the input carries 0.5 (-6.02 dB).
void silentOutput(EditorHost& h) {
    h.record()->setParameter(h.record(), kGain, 0.0f);
    h.dispatch(effMainsChanged, 0, 0);
    h.dispatch(effMainsChanged, 0, 1); // the gains jump to their targets
}

TEST(EditorIdle, PreSwitchChoosesInputOrOutputForMetersAndReadouts) {
    EditorHost h;
    silentOutput(h);
    h.process(0.5f);
    h.idle();
    EXPECT_TRUE(fader(h).isPostFader());
    EXPECT_EQ(h.text(editor::kTagPeakLeft), "-");
    EXPECT_EQ(h.text(editor::kTagRmsLeft), "-");
    EXPECT_EQ(h.editor().getMaximum(0), 0.5); // the input peak is kept all the same

    h.click(kPre.left + 10, kPre.top + 10); // Pre on
    h.idle();
    EXPECT_FALSE(fader(h).isPostFader());
    EXPECT_EQ(h.text(editor::kTagPeakLeft), " -6.02");
    EXPECT_EQ(h.text(editor::kTagRmsLeft), " -6.02");
    if constexpr (kStereo) {
        EXPECT_EQ(h.text(editor::kTagPeakRight), " -6.02");
        EXPECT_EQ(h.text(editor::kTagRmsRight), " -6.02");
    }
    h.click(kPre.left + 10, kPre.top + 10); // Pre off again
    h.idle();
    EXPECT_TRUE(fader(h).isPostFader());
    EXPECT_EQ(h.text(editor::kTagPeakLeft), "-");
}

TEST(EditorIdle, ReadoutClickClearsAllEightMaxima) {
    EditorHost h;
    h.process(0.5f);
    h.idle();
    EXPECT_EQ(h.text(editor::kTagPeakLeft), " -6.02");
    for (int i = 0; i < 8; ++i) {
        const bool used = kStereo || (i % 2 == 0);
        if (used) {
            EXPECT_GT(h.editor().getMaximum(i), 0.0) << i;
        }
    }
    h.click(kRmsLeft.left + 10, kRmsLeft.top + 5); // the left RMS readout
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(h.editor().getMaximum(i), 0.0) << i;
    EXPECT_TRUE(h.calls().empty()); // readouts send no gesture
    h.idle();
    EXPECT_EQ(h.text(editor::kTagPeakLeft), "-");
    EXPECT_EQ(h.text(editor::kTagRmsLeft), "-");
}

TEST(EditorIdle, MetersFreezeWhileTheOptionsPageIsOpen) {
    EditorHost h;
    h.process(0.25f);
    h.idle();
    const double before = h.editor().getMaximum(2);
    const std::string shown = h.text(editor::kTagPeakLeft);
    EXPECT_EQ(before, 0.25);

    h.click(kLogo.left + 20, kLogo.top + 20); // the logo opens the page
    auto* options = dynamic_cast<nSplash*>(h.control(editor::kTagOptions));
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(options->isOpen());
    h.process(0.75f);
    h.idle();
    h.idle();
    EXPECT_EQ(h.editor().getMaximum(2), before);
    EXPECT_EQ(h.text(editor::kTagPeakLeft), shown);

    h.click(70, 349); // Close
    ASSERT_FALSE(options->isOpen());
    h.idle();
    // The peak of the block processed while the page was open was kept by the effect.
    EXPECT_EQ(h.editor().getMaximum(2), 0.75);
    EXPECT_TRUE(h.calls().empty()); // the options page sends no gesture
}

// Times (virtual ms) at which the mute lamp changed between lit and dark over `ms`, with an
// idle every 10 ms.
std::vector<DWORD> lampChanges(EditorHost& h, DWORD ms) {
    auto* mute = dynamic_cast<nSwitch*>(h.control(kMute));
    std::vector<DWORD> changes;
    bool dark = mute->isLedDark();
    const DWORD end = driver::now() + ms;
    while (driver::now() < end) {
        driver::advance(10);
        h.idle();
        if (mute->isLedDark() != dark) {
            dark = mute->isLedDark();
            changes.push_back(driver::now());
        }
    }
    return changes;
}

TEST(EditorIdle, ActiveMuteLampFlashesEvery300MsWithFlashLed) {
    EditorHost h;
    h.record()->setParameter(h.record(), kMute, 1.0f);
    const std::vector<DWORD> changes = lampChanges(h, 2000);
    ASSERT_GE(changes.size(), 5u);
    for (std::size_t i = 1; i < changes.size(); ++i) {
        const DWORD gap = changes[i] - changes[i - 1];
        EXPECT_GT(gap, 300u) << i;
        EXPECT_LE(gap, 330u) << i; // the next idle after 300 ms, plus the clock's reads
    }
}

TEST(EditorIdle, MuteAndBypassLampsStayLitWithSteadyLed) {
    EditorHost h;
    h.plug().getPrefs()->set(kPrefMuteLamp, 1);
    h.plug().getPrefs()->set(kPrefBypassLamp, 1);
    h.record()->setParameter(h.record(), kMute, 1.0f);
    h.record()->setParameter(h.record(), kBypass, 1.0f);
    auto* bypass = dynamic_cast<nSwitch*>(h.control(kBypass));
    int phaseSteps = 0;
    bool phase = h.editor().getFlashPhase();
    for (int i = 0; i < 100; ++i) {
        driver::advance(20);
        h.idle();
        ASSERT_FALSE(bypass->isLedDark()) << i;
        if (h.editor().getFlashPhase() != phase) ++phaseSteps;
        phase = h.editor().getFlashPhase();
    }
    EXPECT_GE(phaseSteps, 5); // the flash clock runs; the style keeps the lamps lit
    EXPECT_TRUE(lampChanges(h, 1000).empty());
}

TEST(EditorIdle, LampFlashingShowsInThePixels) {
    EditorHost h;
    h.record()->setParameter(h.record(), kBypass, 1.0f);
    auto* bypass = dynamic_cast<nSwitch*>(h.control(kBypass));
    auto ledPixels = [&] {
        driver::Image image = h.capture();
        std::vector<std::uint32_t> pixels;
        for (int y = kBypassRect.top; y < kBypassRect.bottom(); ++y)
            for (int x = kBypassRect.left + 36; x < kBypassRect.right(); ++x) // the LED half
                pixels.push_back(image.rgb(x, y));
        return pixels;
    };
    h.idle();
    const bool firstDark = bypass->isLedDark();
    const auto first = ledPixels();
    driver::advance(310);
    h.idle();
    ASSERT_NE(bypass->isLedDark(), firstDark);
    EXPECT_NE(ledPixels(), first);
}

TEST(EditorIdle, HostGainOfZeroLeavesFineModeAndShowsZero) {
    EditorHost h;
    h.record()->setParameter(h.record(), kGain, 0.9f); // about +16 dB
    h.click(kFine.left + 10, kFine.top + 10);          // Fine on
    h.idle();
    ASSERT_TRUE(fader(h).isFineMode());
    h.record()->setParameter(h.record(), kGain, 0.0f);
    h.idle();
    EXPECT_FALSE(fader(h).isFineMode());
    EXPECT_EQ(fader(h).getValue(), 0.0f);
    EXPECT_EQ(fader(h).model().capRow(), 352);
    // A gain again brings fine mode back with the switch still on.
    h.record()->setParameter(h.record(), kGain, 0.5f);
    h.idle();
    EXPECT_TRUE(fader(h).isFineMode());
    EXPECT_EQ(fader(h).getValue(), 0.5f);
}

} // namespace
} // namespace kavet::test

namespace kavet::test {
namespace {

// The pixels of a control's rectangle in the host window.
std::vector<std::uint32_t> pixelsOf(const EditorHost& h, std::int32_t tag) {
    toolkit::CRectangle r;
    h.control(tag)->getViewSize(r);
    const driver::Image image = h.capture();
    std::vector<std::uint32_t> pixels;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            pixels.push_back(image.rgb(x, y));
    return pixels;
}

TEST(EditorLook, EverySwitchShowsItsStateAfterAClick) {
    const std::int32_t tags[] = {kPhase, kMute, kBypass, editor::kTagPre, editor::kTagFine};
    for (std::int32_t tag : tags) {
        SCOPED_TRACE(tag);
        EditorHost h;
        h.plug().getPrefs()->set(kPrefMuteLamp, 1); // steady lamps: no flashing in between
        h.plug().getPrefs()->set(kPrefBypassLamp, 1);
        h.idle();
        const auto off = pixelsOf(h, tag);
        toolkit::CRectangle r;
        h.control(tag)->getViewSize(r);
        h.click(r.left + 8, r.top + 8);
        h.idle();
        const auto on = pixelsOf(h, tag);
        EXPECT_NE(on, off);
        h.click(r.left + 8, r.top + 8);
        h.idle();
        EXPECT_EQ(pixelsOf(h, tag), off);
    }
}

// The last output of a block of 0.5 long enough for the gain to settle: what the signal
// path does.
double settledOutput(EditorHost& h) {
    std::vector<float> in(4096, 0.5f), out(4096);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {out.data(), out.data()};
    h.record()->processReplacing(h.record(), inputs, outputs, 4096);
    return out.back();
}

// A host's slider leaves a switch anywhere between 0 and 1: the switch shows what the signal
// path does with that value, and a click sets the opposite of what it shows.
TEST(EditorLook, SwitchesShowWhatTheAudioDoesAndAClickTurnsThat) {
    struct Case {
        std::int32_t tag;
        double offOutput, onOutput; // at 0.5 in, gain -18 dB
    };
    const Case switches[] = {
        {kPhase, 0.0625, -0.0625}, {kMute, 0.0625, 0.0}, {kBypass, 0.0625, 0.5}};
    for (const Case& c : switches) {
        for (float hostValue : {0.0f, 0.3f, 0.49f, 0.5f, 0.7f, 1.0f}) {
            SCOPED_TRACE(testing::Message() << "tag " << c.tag << " at " << hostValue);
            EditorHost h;
            h.plug().getPrefs()->set(kPrefMuteLamp, 1); // steady lamps
            h.plug().getPrefs()->set(kPrefBypassLamp, 1);
            AEffect* e = h.record();
            e->setParameter(e, kGain, 0.25f);
            h.idle();
            const auto offPixels = pixelsOf(h, c.tag);
            e->setParameter(e, c.tag, 1.0f);
            h.idle();
            const auto onPixels = pixelsOf(h, c.tag);
            ASSERT_NE(onPixels, offPixels);

            e->setParameter(e, c.tag, hostValue);
            h.idle();
            const double output = settledOutput(h);
            const bool audioOn = std::fabs(output - c.onOutput) < 1e-6;
            ASSERT_TRUE(audioOn || std::fabs(output - c.offOutput) < 1e-6) << output;
            EXPECT_EQ(pixelsOf(h, c.tag), audioOn ? onPixels : offPixels);

            toolkit::CRectangle r;
            h.control(c.tag)->getViewSize(r);
            h.click(r.left + 8, r.top + 8);
            h.idle();
            EXPECT_EQ(e->getParameter(e, c.tag), audioOn ? 0.0f : 1.0f);
            EXPECT_NEAR(settledOutput(h), audioOn ? c.offOutput : c.onOutput, 1e-6);
            EXPECT_EQ(pixelsOf(h, c.tag), audioOn ? offPixels : onPixels);
        }
    }
}

} // namespace
} // namespace kavet::test

namespace kavet::test {
namespace {

TEST(EditorClose, WithTheOptionsPageOpenAndOpensAgainWithTheLogo) {
    EditorHost h;
    h.click(kLogo.left + 20, kLogo.top + 20);
    auto* options = dynamic_cast<editor::nSplash*>(h.control(editor::kTagOptions));
    ASSERT_TRUE(options->isOpen());
    h.closeEditor();
    ASSERT_TRUE(h.openEditor());
    options = dynamic_cast<editor::nSplash*>(h.control(editor::kTagOptions));
    EXPECT_FALSE(options->isOpen());
    EXPECT_EQ(h.editor().getEditorFrame()->getModalView(), nullptr);
    h.click(kLogo.left + 20, kLogo.top + 20);
    EXPECT_TRUE(options->isOpen());
}

} // namespace
} // namespace kavet::test
