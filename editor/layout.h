// The editor's layout: every control's kind, tag, rectangle, bitmaps and builds in one table,
// with the editor's size and the bitmap resource ids. The editor builds its controls from it,
// the artwork program draws the backgrounds around its rectangles, and the tests click and
// compare pixels where it says; a rectangle changes here and nowhere else. Standard library
// only, so the artwork program (no toolkit) can read it too.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kavet::layout {

// Editor pixels.
inline constexpr std::int32_t kEditorWidth = 265;
inline constexpr std::int32_t kEditorHeight = 534;

// Bitmap resource ids (115 is not used).
enum Bitmap : std::int32_t {
    kNoBitmap = 0,
    kBackgroundStereo = 110,
    kPhaseStrip = 111,
    kFaderCap = 112,
    kMuteStrip = 113,
    kFaderCapMask = 114,
    kBypassStrip = 116,
    kPreStrip = 117,
    kFineStrip = 118,
    kSmallFont = 119, // 6 x 9 digit cells
    kLargeFont = 120, // 7 x 11 digit cells
    kLogo = 121,
    kOptionsPageStereo = 122,
    kBackgroundMono = 123,
    kMeterStrip = 124,
    kOptionSelector = 125,
    kPressedButtons = 126,
    kOptionsPageMono = 127,
};

// Control tags: the effect's parameter indices 0 to 5 (core/config.h), then the editor's own.
inline constexpr std::int32_t kTagGain = 0;
inline constexpr std::int32_t kTagTrim = 1;
inline constexpr std::int32_t kTagPhase = 2;
inline constexpr std::int32_t kTagMute = 3;
inline constexpr std::int32_t kTagBypass = 4;
inline constexpr std::int32_t kTagPan = 5;
inline constexpr std::int32_t kTagPre = 500;  // meters and readouts before the fader when on
inline constexpr std::int32_t kTagFine = 501; // fine fader mode
inline constexpr std::int32_t kTagOptions = 502;
inline constexpr std::int32_t kTagPeakLeft = 504;
inline constexpr std::int32_t kTagPeakRight = 505;
inline constexpr std::int32_t kTagRmsLeft = 508;
inline constexpr std::int32_t kTagRmsRight = 509;

enum class Kind {
    Fader,   // gain fader with the meters; bitmaps: cap, cap mask, meter colours
    Dial,    // drawn on the background alone
    Switch,  // two-state switch; bitmap: its strip (off half, on half)
    Value,   // editable value field, large font
    Readout, // meter hold readout, small font; a click clears the holds
    Splash,  // logo opening the options page; bitmaps: logo, page, selector, pressed buttons
};

// Which channel configurations have a control.
enum Builds : unsigned { kMono = 1, kStereo = 2, kBoth = kMono | kStereo };

struct Rect {
    std::int32_t left, top, width, height;                         // editor pixels
    constexpr std::int32_t right() const { return left + width; }  // exclusive
    constexpr std::int32_t bottom() const { return top + height; } // exclusive
    constexpr bool operator==(const Rect&) const = default;
};

// One name per row of the table, in the editor's creation order (which is its drawing
// order and the order controls of one tag answer in).
enum class Id {
    Fader,
    TrimDial,
    Phase,
    Mute,
    Bypass,
    PanDial,
    Pre,
    Fine,
    GainValue,
    TrimValue,
    PanValue,
    PeakLeft,
    PeakMono,
    RmsLeft,
    RmsMono,
    PeakRight,
    RmsRight,
    Options,
    OptionsMono,
};

struct Control {
    Id id;
    Kind kind;
    Builds builds;
    std::int32_t tag;
    Rect rect;
    std::int32_t font;       // digit font, or kNoBitmap
    std::int32_t bitmaps[4]; // by kind (see Kind); unused slots kNoBitmap
};

// clang-format off
inline constexpr Control kControls[] = {
    // id             kind           builds    tag             left  top  wid  hgt   font         bitmaps
    {Id::Fader,       Kind::Fader,   kBoth,    kTagGain,       { 57,  48,  96, 401}, kSmallFont,  {kFaderCap, kFaderCapMask, kMeterStrip}},
    {Id::TrimDial,    Kind::Dial,    kBoth,    kTagTrim,       {180, 156,  31,  31}, kNoBitmap,   {}},
    {Id::Phase,       Kind::Switch,  kBoth,    kTagPhase,      {179, 297,  52,  19}, kNoBitmap,   {kPhaseStrip}},
    {Id::Mute,        Kind::Switch,  kBoth,    kTagMute,       {179, 371,  52,  19}, kNoBitmap,   {kMuteStrip}},
    {Id::Bypass,      Kind::Switch,  kBoth,    kTagBypass,     {179, 334,  52,  19}, kNoBitmap,   {kBypassStrip}},
    {Id::PanDial,     Kind::Dial,    kStereo,  kTagPan,        {180, 226,  31,  31}, kNoBitmap,   {}},
    {Id::Pre,         Kind::Switch,  kBoth,    kTagPre,        { 58, 448,  38,  20}, kNoBitmap,   {kPreStrip}},
    {Id::Fine,        Kind::Switch,  kBoth,    kTagFine,       {179, 408,  52,  19}, kNoBitmap,   {kFineStrip}},
    {Id::GainValue,   Kind::Value,   kBoth,    kTagGain,       {110, 453,  57,  14}, kLargeFont,  {}},
    {Id::TrimValue,   Kind::Value,   kBoth,    kTagTrim,       {168, 194,  57,  14}, kLargeFont,  {}},
    {Id::PanValue,    Kind::Value,   kStereo,  kTagPan,        {168, 263,  57,  14}, kLargeFont,  {}},
    // The mono build moves the left readouts into the space of the missing right pair.
    {Id::PeakLeft,    Kind::Readout, kStereo,  kTagPeakLeft,   {159,  65,  33,  10}, kSmallFont,  {}},
    {Id::PeakMono,    Kind::Readout, kMono,    kTagPeakLeft,   {179,  65,  33,  10}, kSmallFont,  {}},
    {Id::RmsLeft,     Kind::Readout, kStereo,  kTagRmsLeft,    {159, 108,  33,  10}, kSmallFont,  {}},
    {Id::RmsMono,     Kind::Readout, kMono,    kTagRmsLeft,    {179, 108,  33,  10}, kSmallFont,  {}},
    {Id::PeakRight,   Kind::Readout, kStereo,  kTagPeakRight,  {205,  65,  33,  10}, kSmallFont,  {}},
    {Id::RmsRight,    Kind::Readout, kStereo,  kTagRmsRight,   {205, 108,  33,  10}, kSmallFont,  {}},
    {Id::Options,     Kind::Splash,  kStereo,  kTagOptions,    {  7,  71,  39,  52}, kLargeFont,  {kLogo, kOptionsPageStereo, kOptionSelector, kPressedButtons}},
    {Id::OptionsMono, Kind::Splash,  kMono,    kTagOptions,    {  7,  71,  39,  52}, kLargeFont,  {kLogo, kOptionsPageMono, kOptionSelector, kPressedButtons}},
};
// clang-format on

inline constexpr std::size_t kControlCount = sizeof kControls / sizeof kControls[0];

constexpr bool rowsInIdOrder() {
    for (std::size_t i = 0; i < kControlCount; ++i) {
        if (static_cast<std::size_t>(kControls[i].id) != i) return false;
    }
    return true;
}
static_assert(rowsInIdOrder(), "one row per Id, in the order of the Id enumeration");

constexpr const Control& control(Id id) {
    return kControls[static_cast<std::size_t>(id)];
}
constexpr const Rect& rect(Id id) {
    return control(id).rect;
}

constexpr std::int32_t background(bool stereo) {
    return stereo ? kBackgroundStereo : kBackgroundMono;
}

constexpr bool inBuild(const Control& c, bool stereo) {
    return (c.builds & (stereo ? kStereo : kMono)) != 0;
}

// The control with `tag` in a build (the first, for the fader's and a field's shared tag),
// or nullptr.
constexpr const Control* byTag(std::int32_t tag, bool stereo) {
    for (const Control& c : kControls) {
        if (c.tag == tag && inBuild(c, stereo)) return &c;
    }
    return nullptr;
}

} // namespace kavet::layout
