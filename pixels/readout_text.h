// Text of the numeric fields (nText) and the geometry of the options page (nSplash): what the
// controls print and where, and which option or button a point on the page chooses.
// [UI thread]
#pragma once

#include "digit_font.h"
#include "pixel_view.h"

#include <array>
#include <cstdint>

namespace kavet::editor {

// A readout's text, zero-terminated.
struct ReadoutText {
    char text[16] = {};
};

// A peak or RMS readout of the amplitude x: 20 log10 x printed "%6.2f", or "-" for 0 (and for
// anything not above 0).
ReadoutText readoutText(float x);

// Column at which a text `textWidth` pixels wide starts in a field `fieldWidth` wide: centred
// (halving truncated) or right-aligned; -1 when the text does not fit and nothing is drawn.
int textStartX(int textWidth, int fieldWidth, bool centred);

// The fonts of the text fields: readouts use the 6 x 9 strip (advance -1, space 6), editable
// fields the 7 x 11 strip (space 7); both fixed pitch.
DigitFont readoutFont(const PixelView& smallStrip);
DigitFont editFont(const PixelView& largeStrip);
inline constexpr std::uint32_t kReadoutInk = 0x000000;
inline constexpr std::uint32_t kEditInk = 0xFFFFFF;

// Draws `text` on row 0 of the field (the work buffer of the control's size), placed as above.
// Returns the start column, or -1 when it did not fit.
int drawFieldText(const PixelView& field, const DigitFont& font, const char* text, bool centred,
                  std::uint32_t ink);

// Options page (page coordinates). Rectangles are left, top, right, bottom; a point is inside
// when left <= x < right and top <= y < bottom.
struct PageRect {
    int left, top, right, bottom;
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

inline constexpr int kOptionGroups = 7; // one per preference word
inline constexpr int kPageButtons = 4;
inline constexpr int kOptionHeight = 14;
inline constexpr int kPanLawGroup = 4;

struct OptionGroup {
    int x, y;    // label position on the page
    int options; // number of choices
    PageRect rect() const { return {x + 2, y, x + 85, y + kOptionHeight * options}; }
};

// Default Mode, Fine Range, Trim Range, Ballistics, Pan Law, Mute Button, Bypass Button.
inline constexpr std::array<OptionGroup, kOptionGroups> kOptionGroupTable = {{
    {32, 58, 2},
    {157, 58, 3},
    {157, 130, 3},
    {32, 130, 4},
    {32, 218, 3},
    {158, 218, 2},
    {157, 277, 2},
}};

enum PageButton { kRevertButton = 0, kSaveButton = 1, kCloseButton = 2, kApplyButton = 3 };
inline constexpr std::array<PageRect, kPageButtons> kPageButtonTable = {{
    {26, 321, 123, 335},
    {136, 321, 233, 335},
    {26, 342, 123, 356},
    {136, 341, 233, 355},
}};

// The group under (x, y), or -1. The mono builds have no choice of pan law.
int optionGroupAt(int x, int y, bool mono);
// The button under (x, y), or -1.
int pageButtonAt(int x, int y);
// The option chosen by pointer row y in a group: (y - top) / 14, clamped and truncated.
int optionFromY(int y, const OptionGroup& group);

// Where the option selector (13 x 15) of a group is drawn and which of its two frames: rows
// 15 to 29 of the selector for the group's last option, rows 0 to 14 otherwise.
struct SelectorPlacement {
    int x, y;
    int sourceRow;
};
SelectorPlacement selectorPlacement(const OptionGroup& group, int option);

// The region of a pressed button copied from the pressed-buttons image: target rectangle
// and source origin.
struct PressedCopy {
    PageRect target;
    int sourceX, sourceY;
};
PressedCopy pressedCopy(int button);

} // namespace kavet::editor
