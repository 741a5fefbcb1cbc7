// The editor artwork's dimensions and colours, in one place.
//
// Rectangles are left, top, width, height in editor pixels (the editor is 265 x 534) unless a
// comment says they are relative to a control. The editor's size and the control rectangles
// come from the editor's layout table (editor/layout.h), which the editor and the tests read
// too. Other pixel facts that code relies on (the meter columns, the fader's tick rows, the
// option groups and buttons) are fixed by the editor's controls; everything else here is the
// artwork's own choice.
#pragma once

#include "editor/layout.h"

namespace kavet::art {

struct Rgb {
    int r, g, b;
};

struct Rect {
    int x, y, w, h;
    constexpr int right() const { return x + w; }  // exclusive
    constexpr int bottom() const { return y + h; } // exclusive
};

// ---------------------------------------------------------------------------------------------
// Resource sizes
inline constexpr int kEditorW = layout::kEditorWidth, kEditorH = layout::kEditorHeight;
inline constexpr int kSwitchStripW = 104, kSwitchStripH = 19;
inline constexpr int kPreStripW = 76, kPreStripH = 20;
inline constexpr int kSwitchFaceW = 36; // face of every switch half; the LED is the rest
inline constexpr int kCapW = 36, kCapH = 58;
inline constexpr int kColourStripW = 32, kColourStripH = 361;
inline constexpr int kSmallCellW = 6, kSmallCellH = 9, kSmallGlyphs = 13;
inline constexpr int kLargeCellW = 7, kLargeCellH = 11, kLargeGlyphs = 15;
inline constexpr int kLogoW = 78, kLogoH = 52;
inline constexpr int kSelectorW = 13, kSelectorH = 30, kSelectorFrameH = 15;
inline constexpr int kPressedW = 210, kPressedH = 37;

// ---------------------------------------------------------------------------------------------
// Control rectangles of the editor
constexpr Rect controlRect(layout::Id id) {
    const layout::Rect& r = layout::rect(id);
    return {r.left, r.top, r.width, r.height};
}
inline constexpr Rect kFader = controlRect(layout::Id::Fader);
inline constexpr Rect kTrimKnob = controlRect(layout::Id::TrimDial);
inline constexpr Rect kPanKnob = controlRect(layout::Id::PanDial);
inline constexpr Rect kPhase = controlRect(layout::Id::Phase);
inline constexpr Rect kBypass = controlRect(layout::Id::Bypass);
inline constexpr Rect kMute = controlRect(layout::Id::Mute);
inline constexpr Rect kFine = controlRect(layout::Id::Fine);
inline constexpr Rect kPre = controlRect(layout::Id::Pre);
inline constexpr Rect kGainValue = controlRect(layout::Id::GainValue);
inline constexpr Rect kTrimValue = controlRect(layout::Id::TrimValue);
inline constexpr Rect kPanValue = controlRect(layout::Id::PanValue);
inline constexpr Rect kPeakL = controlRect(layout::Id::PeakLeft);
inline constexpr Rect kRmsL = controlRect(layout::Id::RmsLeft);
inline constexpr Rect kPeakR = controlRect(layout::Id::PeakRight);
inline constexpr Rect kRmsR = controlRect(layout::Id::RmsRight);
inline constexpr Rect kPeakMono = controlRect(layout::Id::PeakMono);
inline constexpr Rect kRmsMono = controlRect(layout::Id::RmsMono);
inline constexpr Rect kLogo = controlRect(layout::Id::Options);

// ---------------------------------------------------------------------------------------------
// Inside the fader control (coordinates relative to kFader)
// Meter bars: 8 columns each; the left bar lights rows 20..381, the right bar rows 19..380.
inline constexpr int kBarLeftX = 5, kBarRightX = 26, kBarMonoX = 9, kBarW = 8;
inline constexpr int kBarTop = 19, kBarBottom = 381; // union of both bars' rows, inclusive
inline constexpr int kMeterLabelCentre = 20, kMeterLabelCentreMono = 24;
// The meter plate carries the black scale labels and the hold marks (x 0..38).
inline constexpr Rect kMeterPlate{0, 5, 39, 391};
// Fader: ticks on rows px + 23 (px = 0..352), left ticks end at x 73, right ticks start at 86;
// the cap is drawn from x 64 and its top row is px, so its value line is cap row 23.
inline constexpr int kTickRowOffset = 23, kTravel = 352;
inline constexpr double kSlotCentreX = 80.0; // between x 79 and 80 (cairo coordinates)
inline constexpr int kSlotW = 6;

// Fader cap: body in columns 0..31 (the part that lies inside the control), value line on
// row 23, body rows 0..46; a soft shadow below it; columns 32..35 are empty.
inline constexpr int kCapBodyW = 32, kCapBodyH = 47, kCapLineRow = 23;
inline constexpr int kCapShadowRows = 9;

// ---------------------------------------------------------------------------------------------
// Knobs: the dial's pointer dot circles (16, 16) of the control in cairo coordinates,
// radius 10, over 270 degrees.
inline constexpr double kKnobCapRadius = 12.6;   // light cap, under the pointer dot
inline constexpr double kKnobSkirtRadius = 14.6; // dark knurled skirt
inline constexpr double kKnobTickInner = 16.5, kKnobTickOuter = 19.0;
inline constexpr int kKnobTicks = 11;

// ---------------------------------------------------------------------------------------------
// Options page: groups (x, y, options) and buttons (left, top, right, bottom).
struct Group {
    int x, y, options;
    const char* title;
    const char* names[4];
};
inline constexpr Group kGroups[7] = {
    {32, 58, 2, "DEFAULT MODE", {"Normal", "Fine", nullptr, nullptr}},
    {157, 58, 3, "FINE RANGE", {"\u00b16 dB", "\u00b112 dB", "\u00b118 dB", nullptr}},
    {157, 130, 3, "TRIM RANGE", {"\u00b112 dB", "\u00b124 dB", "\u00b136 dB", nullptr}},
    {32, 130, 4, "BALLISTICS", {"Digital PPM", "PPM", "VU", "BBC"}},
    {32, 218, 3, "PAN LAW", {"0 dB", "\u22123 dB", "\u22126 dB", nullptr}},
    {158, 218, 2, "MUTE BUTTON", {"Flash LED", "Steady LED", nullptr, nullptr}},
    {157, 277, 2, "BYPASS BUTTON", {"Flash LED", "Steady LED", nullptr, nullptr}},
};
inline constexpr int kPanLawGroup = 4;
inline constexpr int kOptionH = 14;
inline constexpr int kOptionTextX = 23; // from the group's x; the mono Pan Law value prints here

struct Button {
    int left, top, right, bottom;
    const char* label;
};
inline constexpr Button kButtons[4] = {
    {26, 321, 123, 335, "Revert to Default"},
    {136, 321, 233, 335, "Save as Default"},
    {26, 341, 123, 355, "Close"}, // clickable 342..356; drawn level with Apply
    {136, 341, 233, 355, "Apply"},
};
inline constexpr int kPressedLeft = 26, kPressedTop = 319; // image origin on the page

// ---------------------------------------------------------------------------------------------
// Palette
inline constexpr Rgb kPanel{44, 46, 51};
inline constexpr Rgb kPanelDark{33, 35, 39};
inline constexpr Rgb kPanelEdge{24, 25, 28};
inline constexpr Rgb kPanelLight{64, 67, 73};
inline constexpr Rgb kWell{27, 28, 31}; // recess behind switches and boxes
inline constexpr Rgb kLabel{168, 172, 180};
inline constexpr Rgb kLabelDim{116, 120, 128};
inline constexpr Rgb kTitle{214, 217, 222};
inline constexpr Rgb kAccent{64, 196, 226}; // cyan, as the L/R glyphs and the phase LED
inline constexpr Rgb kScale{197, 197, 197}; // the fader's own ticks and labels

inline constexpr Rgb kMeterPlateFace{178, 174, 162};
inline constexpr Rgb kMeterPlateEdge{120, 117, 108};
inline constexpr Rgb kMeterPrint{28, 28, 28};
inline constexpr Rgb kBarEmpty{18, 19, 20};

inline constexpr Rgb kLcdFace{196, 190, 158};
inline constexpr Rgb kLcdEdge{92, 90, 78};
inline constexpr Rgb kValueBox{13, 14, 16};

inline constexpr Rgb kSlotFloor{6, 6, 7};

// Meter colours, bottom to top of the scale (strip columns 0..3).
inline constexpr Rgb kMeterGreen{52, 214, 96};
inline constexpr Rgb kMeterYellow{232, 214, 48};
inline constexpr Rgb kMeterOrange{255, 140, 26};
inline constexpr Rgb kMeterRed{240, 44, 36};

// LED colours (lit) of the switch strips.
inline constexpr Rgb kLedCyan{60, 214, 255};
inline constexpr Rgb kLedRed{255, 52, 40};
inline constexpr Rgb kLedMagenta{244, 70, 230};
inline constexpr Rgb kLedGreen{70, 240, 110};

// Fonts (files of fonts-dejavu-core and fonts-dejavu-extra).
inline constexpr const char* kFontDir = "/usr/share/fonts/truetype/dejavu/";
inline constexpr const char* kFontRegular = "DejaVuSans.ttf";
inline constexpr const char* kFontBold = "DejaVuSans-Bold.ttf";
inline constexpr const char* kFontCondensed = "DejaVuSansCondensed.ttf";
inline constexpr const char* kFontCondensedBold = "DejaVuSansCondensed-Bold.ttf";

} // namespace kavet::art
