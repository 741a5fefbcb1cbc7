// The pixels of the gain fader control (nFader): its two dB scales, the cap, the meter bars
// with their colour zones and RMS lines, and the hold marks. The control copies its background
// snapshot into the work buffer and calls paint(); everything here is computed on pixels.
// [UI thread]
#pragma once

#include "digit_font.h"
#include "fader_law.h"
#include "meter_tables.h"
#include "pixel_view.h"

#include <array>
#include <cstdint>

namespace kavet::editor {

// Stereo: two bars (left and right) and hold marks on both sides; mono: one bar.
enum class MeterLayout { Stereo, Mono };

inline constexpr std::uint32_t kScaleInk = 0xC5C5C5;
inline constexpr std::uint32_t kPeakHoldColour = 0xFF0000;
inline constexpr std::uint32_t kRmsHoldColour = 0xFFAA00;
inline constexpr int kCapX = 64;
inline constexpr int kCapWidth = 36;
inline constexpr int kCapHeight = 58;

// A scale label, zero-terminated.
struct ScaleLabel {
    char text[16] = {};
};

// The label of scale pixel px (0 at the top of the travel, 352 at the bottom). Normal mode (or
// normalOnly): the gain of the fader law in whole dB, "-00" at the bottom. Fine mode: a scale
// linear in dB across the window, every second label (px with bit 16 set) a single space.
ScaleLabel scaleLabel(int px, const FaderModel& model, bool normalOnly);

// A five-row hold mark centred on row y (widths 2, 3, 5, 3, 2), its flat side at column x
// (pointing right) or at column x + 4 (pointing left).
void drawMarker(const PixelView& target, int x, int y, std::uint32_t colour, bool pointsLeft);

// Lays the premultiplied cap over the target through its mask: target x (1 - a) + cap per
// channel, a = mask blue / 255, limited to 255 and truncated. `rows` rows from the cap's top.
void drawCap(const PixelView& target, int x, int y, int width, int rows, const PixelView& cap,
             const PixelView& mask);

// Rows of the cap drawn when its top is on row capRow of a control `height` rows high.
int capRowsDrawn(int capRow, int height);

// Row of a hold mark (hold = amplitude / 8, at most 1): 20 at full scale, 381 at 0.
int holdRow(float hold);

struct FaderBitmaps {
    PixelView cap;         // resource 112, 36 x 58
    PixelView capMask;     // resource 114, 36 x 58
    PixelView colourStrip; // resource 124, 32 x 361
    PixelView fontStrip;   // resource 119, the 6 x 9 digit strip
};

class FaderPainter {
public:
    // The bitmaps are not owned and must outlive the painter.
    FaderPainter(MeterLayout layout, const FaderBitmaps& bitmaps);

    // The first eight values of a meter snapshot (envelopes in, out; RMS in, out; left and
    // right; linear, full scale 8). Stale RMS values (rmsFresh false) keep the previous ones.
    void setLevels(const std::array<double, 8>& levels, bool rmsFresh);
    // Peak left, peak right, RMS left, RMS right (linear amplitudes).
    void setHolds(double peakLeft, double peakRight, double rmsLeft, double rmsRight);
    // True shows the post-fader levels, false the pre-fader ones.
    void setPostFader(bool on) { postFader_ = on; }

    const std::array<float, 8>& levels() const { return levels_; }
    const std::array<float, 4>& holds() const { return holds_; }
    bool postFader() const { return postFader_; }
    MeterLayout layout() const { return layout_; }
    const MeterTables& tables() const { return tables_; }
    const DigitFont& scaleFont() const { return font_; }

    // Everything after the snapshot copy: fader scale, cap, meters, hold marks.
    void paint(const PixelView& work, const FaderModel& model) const;

    void drawFaderScale(const PixelView& work, const FaderModel& model) const;
    void drawCap(const PixelView& work, const FaderModel& model) const;
    void drawMeters(const PixelView& work) const;
    void drawHoldMarks(const PixelView& work) const;

private:
    void drawBar(const PixelView& work, int x, int top, float peak, float rms) const;

    MeterLayout layout_;
    FaderBitmaps bitmaps_;
    DigitFont font_;
    MeterTables tables_;
    std::array<float, 8> levels_{};
    std::array<float, 4> holds_{};
    bool postFader_ = false;
};

} // namespace kavet::editor
