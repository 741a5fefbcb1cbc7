#include "pluged.h"

#include "cdib.h"
#include "module_bitmaps.h"
#include "ndial.h"
#include "nfader.h"
#include "nsplash.h"
#include "nswitch.h"
#include "ntext.h"

#include "core/plug.h"
#include "toolkit/textedit.h"

#include <windows.h>

#include <algorithm>

namespace kavet::editor {

using toolkit::CControl;
using toolkit::CDrawContext;
using toolkit::CRectangle;
using toolkit::CView;

namespace {

static_assert(layout::kTagGain == kGain && layout::kTagTrim == kTrim &&
                  layout::kTagPhase == kPhase && layout::kTagMute == kMute &&
                  layout::kTagBypass == kBypass && layout::kTagPan == kPan,
              "the layout's parameter tags are the effect's parameter indices");

CRectangle box(const layout::Rect& r) {
    return CRectangle(r.left, r.top, r.right(), r.bottom());
}

} // namespace

PlugEd::PlugEd(Plug* effect)
    : AEffGUIEditor(effect), plug(effect), prefs(effect->getPrefs()), lastFlash(GetTickCount()),
      fineInitial(static_cast<float>(prefs->get(kPrefDefaultMode))) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = kEditorHeight;
    rect.right = kEditorWidth;
}

PlugEd::~PlugEd() {
    // The controls read the bitmaps below: they go first.
    if (frame) close();
    for (CDIB* bitmap : {background, smallFont, largeFont}) {
        if (bitmap) bitmap->forget();
    }
}

CQRLFrame* PlugEd::getEditorFrame() const {
    return static_cast<CQRLFrame*>(frame);
}

void PlugEd::loadBitmaps() {
    if (background) return;
    registerModuleBitmaps();
    background = new CDIB(layout::background(kStereo));
    smallFont = new CDIB(layout::kSmallFont);
    largeFont = new CDIB(layout::kLargeFont);
}

bool PlugEd::open(void* parent) {
    if (frame) return true; // already open in this window
    // No window, or one of another window system (an X11 window id): nothing to build in.
    if (parent == nullptr || !IsWindow(static_cast<HWND>(parent))) return false;
    AEffGUIEditor::open(parent);
    loadBitmaps();
    auto* newFrame = new CQRLFrame(box({0, 0, kEditorWidth, kEditorHeight}), parent, this);
    if (newFrame->getWindow() == nullptr) {
        newFrame->forget();
        AEffGUIEditor::close();
        return false;
    }
    frame = newFrame;
    frame->setBackground(background);
    // The controls start from the values as they are now; changes made after this show at
    // the next idle.
    (void)plug->parameters().takeEditorChanges();
    addControls();
    return true;
}

void PlugEd::addControls() {
    for (const layout::Control& c : layout::kControls) {
        if (layout::inBuild(c, kStereo)) addControl(c);
    }
}

// A control made with its one reference goes with the frame (removeAll with forget).
void PlugEd::addControl(const layout::Control& c) {
    const CRectangle size = box(c.rect);
    const std::int32_t tag = c.tag;
    CDIB* font = c.font == layout::kSmallFont ? smallFont : largeFont;
    switch (c.kind) {
    case layout::Kind::Fader:
        fader = new nFader(size, tag, this, c.bitmaps[0], c.bitmaps[1], c.bitmaps[2], font,
                           background, plug->getParameter(tag));
        frame->addView(fader);
        fader->setFineMode(prefs->get(kPrefDefaultMode) != 0, prefs->get(kPrefFineRange));
        return;
    case layout::Kind::Dial:
        frame->addView(new nDial(size, tag, this, background, plug->getParameter(tag)));
        return;
    case layout::Kind::Switch: {
        const float initial = tag == kTagPre    ? preInitial
                              : tag == kTagFine ? fineInitial
                                                : plug->getParameter(tag);
        auto* control = new nSwitch(size, tag, this, c.bitmaps[0], initial);
        if (tag == kMute) muteSwitch = control;
        if (tag == kBypass) bypassSwitch = control;
        frame->addView(control);
        return;
    }
    case layout::Kind::Value:
    case layout::Kind::Readout:
        frame->addView(
            new nText(size, tag, this, font, background, this, c.kind == layout::Kind::Value));
        return;
    case layout::Kind::Splash:
        options = new nSplash(size, tag, this, c.bitmaps[0], c.bitmaps[1], c.bitmaps[2],
                              c.bitmaps[3], prefs, font);
        frame->addView(options);
        return;
    }
}

void PlugEd::close() {
    if (frame) {
        // An open options page is a child twice (as a control and as the modal view) with
        // one reference for each; dropping the modal role first lets the frame delete it
        // exactly once.
        frame->setModalView(nullptr);
        toolkit::CFrame* old = frame;
        frame = nullptr; // nothing reaches the frame while it goes
        old->forget();   // deletes the controls
    }
    options = nullptr;
    muteSwitch = nullptr;
    bypassSwitch = nullptr;
    fader = nullptr;
    AEffGUIEditor::close();
}

float PlugEd::valueOfTag(std::int32_t tag) const {
    CControl* control = frame ? getEditorFrame()->findControl(tag) : nullptr;
    return control ? control->getValue() : -1.0f;
}

bool PlugEd::optionsPageOpen() const {
    return options != nullptr && options->getValue() != 0.0f;
}

void PlugEd::idle() {
    if (!frame) return;
    showParameterChanges();
    if (!optionsPageOpen()) {
        takeMeterSnapshot();
        stepFlash();
        drawNeighboursOfFader(); // never over the page
    }
    AEffGUIEditor::idle();          // redraws what changed
    if (options) options->redraw(); // the logo's highlight follows the pointer
}

// Host automation, chunk loads and the editor's own gestures set the parameters on any
// thread; the controls follow here, on the editor's own.
void PlugEd::showParameterChanges() {
    const std::uint32_t changed = plug->parameters().takeEditorChanges();
    for (int i = 0; i < kNumParams; ++i) {
        if (changed & (1u << i)) setParameter(i, plug->getParameter(i));
    }
}

// The Pre switch shares its top row with the fader's bottom row. When the frame's update
// redraws a dirty fader, it draws the switch too, clipped to that shared row, and counts it
// as clean: a change of the switch would never be drawn whole. Dirty neighbours of the fader
// are therefore drawn whole first.
void PlugEd::drawNeighboursOfFader() {
    if (!fader) return;
    CRectangle faderSize;
    fader->getViewSize(faderSize);
    for (auto* link = getEditorFrame()->getFirstChild(); link != nullptr; link = link->pNext) {
        CView* view = link->pView;
        CRectangle size;
        view->getViewSize(size);
        if (view != fader && view->isDirty() && size.overlapsClosed(faderSize)) view->redraw();
    }
}

bool PlugEd::takeLastReadings(MeterSnapshot& snapshot, bool& rmsFresh) {
    if (!readingsTaken) return false;
    snapshot = lastReadings;
    rmsFresh = lastRmsFresh;
    readingsTaken = false;
    return true;
}

void PlugEd::takeMeterSnapshot() {
    MeterSnapshot snapshot{};
    const bool rmsFresh = plug->getMeterSnapshot(snapshot);
    // RMS positions (4 to 7) not fresh keep the last fresh ones, and stay fresh for the
    // taker when any idle since its last take had them fresh.
    const MeterSnapshot previous = lastReadings;
    lastReadings = snapshot;
    if (!rmsFresh) {
        for (int i = 4; i < 8; ++i)
            lastReadings.values[i] = previous.values[i];
    }
    lastRmsFresh = rmsFresh || (readingsTaken && lastRmsFresh);
    readingsTaken = true;
    for (int i = 0; i < 4; ++i)
        maxima[i] = std::max(maxima[i], snapshot.values[8 + i]);
    if (rmsFresh) {
        for (int i = 4; i < 8; ++i)
            maxima[i] = std::max(maxima[i], snapshot.values[i]);
    }

    const float pre = valueOfTag(kTagPre);
    const float fine = valueOfTag(kTagFine);
    const float gain = plug->getParameter(kGain);
    if (pre != -1.0f && fader) fader->setPostFader(pre == 0.0f);
    // A gain of 0 leaves fine mode: a window around silence has no extent.
    if (fine != -1.0f && fader)
        fader->setFineMode(fine != 0.0f && gain > 0.0f, prefs->get(kPrefFineRange));
    if (pre != -1.0f) showMaxima(pre);
    if (fader && !optionsPageOpen()) fader->setLevels(snapshot.values, rmsFresh);
}

void PlugEd::showMaxima(float pre) {
    const int e = pre == 0.0f ? 2 : 0; // output pair, or input pair with Pre on
    setParameter(kTagPeakLeft, static_cast<float>(maxima[e]));
    setParameter(kTagPeakRight, static_cast<float>(maxima[e + 1]));
    setParameter(kTagRmsLeft, static_cast<float>(maxima[e + 4]));
    setParameter(kTagRmsRight, static_cast<float>(maxima[e + 5]));
    if (fader) fader->setHolds(maxima[e], maxima[e + 1], maxima[e + 4], maxima[e + 5]);
}

void PlugEd::stepFlash() {
    const std::uint32_t now = GetTickCount();
    if (now - lastFlash <= kFlashPeriodMs) return; // unsigned: wraps with the tick count
    flashPhase = !flashPhase;
    if (bypassSwitch) bypassSwitch->setLedDark(flashPhase && prefs->get(kPrefBypassLamp) == 0);
    if (muteSwitch) muteSwitch->setLedDark(flashPhase && prefs->get(kPrefMuteLamp) == 0);
    lastFlash = GetTickCount();
}

void PlugEd::setParameter(VstInt32 index, float value) {
    if (!frame) return;
    for (auto* link = getEditorFrame()->getFirstChild(); link != nullptr; link = link->pNext) {
        auto* control = dynamic_cast<CControl*>(link->pView);
        if (control == nullptr || control->getTag() != index) continue;
        control->setValue(value);
        control->setDirty(true);
    }
}

void PlugEd::getEditorState(float* words) {
    const float pre = valueOfTag(kTagPre);
    const float fine = valueOfTag(kTagFine);
    words[0] = pre == -1.0f ? 0.0f : pre;
    words[1] = fine == -1.0f ? 0.0f : fine;
}

void PlugEd::setEditorState(const float* words) {
    preInitial = words[0];
    fineInitial = words[1];
    setParameter(kTagPre, preInitial);
    setParameter(kTagFine, fineInitial);
}

void PlugEd::valueChanged(CDrawContext*, CControl* control) {
    const std::int32_t tag = control->getTag();
    if (tag < kTagPre) {
        // A value typed into a field arrives here alone, not inside the field's own edit
        // gesture as a drag or a click does: the host gets it bracketed all the same.
        const bool typed = dynamic_cast<toolkit::CTextEdit*>(control) != nullptr;
        if (typed) beginEdit(tag);
        plug->setParameterAutomated(tag, control->getValue());
        if (typed) endEdit(tag);
    } else if (tag >= kTagPeakLeft && tag <= kTagRmsRight) {
        std::fill(std::begin(maxima), std::end(maxima), 0.0);
    }
}

void PlugEd::getText(std::int32_t index, char* text) {
    plug->getParameterDisplay(index, text);
}

// The field reports the value it then holds as the user's change (valueChanged): the
// controls of the parameter take the value the text gave at once, on this thread.
void PlugEd::setFromText(std::int32_t index, const char* text) {
    plug->setValueFromText(index, text);
    setParameter(index, plug->getParameter(index));
}

} // namespace kavet::editor
