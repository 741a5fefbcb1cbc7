// The geometry and colours of the level plot (kavet process --plot): two panels, the input above
// the output, sharing one time axis; levels in dB from kBottomDb to kTopDb on each. Pixel
// coordinates: x to the right, y down, from the picture's top-left corner.
#pragma once

#include <algorithm>

namespace kavet::cli::plot {

inline constexpr int kWidth = 1200;
inline constexpr int kHeight = 760;
inline constexpr double kLeft = 70; // the dB labels are left of this
inline constexpr double kRight = 1180;
inline constexpr double kPanelTop[2] = {64, 424}; // input, output
inline constexpr double kPanelHeight = 290;       // the time labels are under each panel
inline constexpr double kTopDb = 6;
inline constexpr double kBottomDb = -60;

// x of a time in a plot of `seconds` in all.
inline constexpr double xOf(double time, double seconds) {
    return kLeft + (seconds > 0 ? std::clamp(time / seconds, 0.0, 1.0) : 0.0) * (kRight - kLeft);
}

// y of a level in dB (clamped to the panel) in panel 0 (input) or 1 (output).
inline constexpr double yOf(double db, int panel) {
    const double clamped = std::clamp(db, kBottomDb, kTopDb);
    return kPanelTop[panel] + (kTopDb - clamped) / (kTopDb - kBottomDb) * kPanelHeight;
}

// The colours of the curves, 0..1 RGB: channels take the peak colours in turn (RMS the
// paler ones); the short-term loudness is the last.
struct PlotColour {
    double r, g, b;
};
inline constexpr int kChannelColours = 6;
inline constexpr PlotColour kPeakColours[kChannelColours] = {
    {0.12, 0.40, 0.75}, {0.85, 0.37, 0.0}, {0.15, 0.60, 0.20},
    {0.60, 0.20, 0.60}, {0.0, 0.55, 0.55}, {0.55, 0.35, 0.15}};
inline constexpr PlotColour kRmsColours[kChannelColours] = {{0.55, 0.75, 0.95}, {1.0, 0.72, 0.45},
                                                            {0.60, 0.85, 0.60}, {0.85, 0.65, 0.85},
                                                            {0.50, 0.85, 0.85}, {0.85, 0.70, 0.55}};
inline constexpr PlotColour kLoudnessColour = {0.0, 0.0, 0.0};

} // namespace kavet::cli::plot
