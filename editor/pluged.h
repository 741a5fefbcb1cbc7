// PlugEd: the plug-in's editor. A fixed 265 x 534 window built from one background bitmap
// and the controls of the channel strip (stereo or mono by the build's configuration). It
// receives every user change from its controls, converts values and text for its value
// fields, and at each idle moves the meters, readouts and lamps. [UI thread] unless a
// function says otherwise.
#pragma once

#include "cqrlframe.h"
#include "layout.h"
#include "stringvalparameter.h"

#include "core/meter.h"
#include "toolkit/aeffguieditor.h"
#include "toolkit/control.h"

#include <cstdint>

namespace kavet {
class Plug;
class PlugPrefs;
} // namespace kavet

namespace kavet::editor {

class CDIB;
class nFader;
class nSplash;
class nSwitch;

// Control tags beyond the parameter indices 0 to 5.
enum EditorTag : std::int32_t {
    kTagPre = layout::kTagPre,   // meters and readouts before the fader when on
    kTagFine = layout::kTagFine, // fine fader mode
    kTagOptions = layout::kTagOptions,
    kTagPeakLeft = layout::kTagPeakLeft,
    kTagPeakRight = layout::kTagPeakRight,
    kTagRmsLeft = layout::kTagRmsLeft,
    kTagRmsRight = layout::kTagRmsRight,
};

inline constexpr std::int32_t kEditorWidth = layout::kEditorWidth;
inline constexpr std::int32_t kEditorHeight = layout::kEditorHeight;
// Lamps of active Mute and Bypass switches blink with this period (ms) in the Flash style.
inline constexpr std::uint32_t kFlashPeriodMs = 300;

class PlugEd : public AEffGUIEditor, public toolkit::CControlListener, public StringValParameter {
public:
    explicit PlugEd(Plug* effect);
    ~PlugEd() override;

    // `parent` is the host's window. A null window, or one the windowing layer does not know
    // (a window id of another window system), is refused: nothing is built, the answer is
    // false and the effect works on without an editor window.
    bool open(void* parent) override; // [UI thread]
    void close() override;            // [UI thread]
    // [UI thread] (effEditIdle): the reading side of the meter hand-off.
    void idle() override;
    // Every control with tag `index`, in creation order, shows `value`; nothing while closed.
    // [UI thread]: the idle brings the effect's parameter changes here.
    void setParameter(VstInt32 index, float value) override;

    // Virtual slots in this order, after those of AEffGUIEditor.
    // [UI thread] (the effect's getChunk and setChunk). words[0] := the Pre switch (tag 500),
    // words[1] := the Fine switch (tag 501); 0 for a switch that does not exist (editor closed).
    virtual void getEditorState(float* words);
    // The next open starts the switches from these words; open switches follow at once.
    virtual void setEditorState(const float* words);

    // CControlListener. [UI thread]
    void valueChanged(toolkit::CDrawContext* context, toolkit::CControl* control) override;
    // StringValParameter. [UI thread]
    void getText(std::int32_t index, char* text) override;
    void setFromText(std::int32_t index, const char* text) override;

    // For inspection.
    CQRLFrame* getEditorFrame() const;
    // 0..3 input/output peaks (left, right), 4..7 input/output RMS (left, right).
    double getMaximum(int index) const { return maxima[index]; }
    bool getFlashPhase() const { return flashPhase; }
    // The meter snapshot the last idle took, once: false when no idle took one since the
    // last call. A format whose host reads levels beside the editor (LV2's meter ports)
    // takes the editor's readings, so that the effect's one-reader hand-off keeps one reader.
    bool takeLastReadings(MeterSnapshot& snapshot, bool& rmsFresh);
    float getPreInitial() const { return preInitial; }
    float getFineInitial() const { return fineInitial; }

private:
    void loadBitmaps();
    void addControls(); // from the layout table, in its order
    void addControl(const layout::Control& c);
    float valueOfTag(std::int32_t tag) const; // -1 when there is no such control
    bool optionsPageOpen() const;
    void showParameterChanges();
    void takeMeterSnapshot();
    void showMaxima(float pre);
    void stepFlash();
    void drawNeighboursOfFader();

    Plug* plug;
    nSplash* options = nullptr; // the frame owns the controls
    nSwitch* muteSwitch = nullptr;
    nSwitch* bypassSwitch = nullptr;
    nFader* fader = nullptr;
    PlugPrefs* prefs;
    CDIB* background = nullptr; // created at the first open, kept until destruction
    CDIB* smallFont = nullptr;  // 6 x 9 digits (119)
    CDIB* largeFont = nullptr;  // 7 x 11 digits (120)
    bool flashPhase = false;
    std::uint32_t lastFlash; // GetTickCount ms
    double maxima[8] = {};
    MeterSnapshot lastReadings{};
    bool lastRmsFresh = false;
    bool readingsTaken = false; // a snapshot since the last takeLastReadings
    float preInitial = 0.0f;
    float fineInitial;
};

} // namespace kavet::editor
