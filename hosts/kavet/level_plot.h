// kavet process --plot FILE.png: the input and the output over time (plot_axes.h), drawn
// with cairo: per channel the meter's peak and RMS (in the plug-in's ballistics) and the
// short-term loudness, with a dB scale, a time axis and a legend.
#pragma once

#include "pending_file.h"
#include "process_job.h"

#include <string>

namespace kavet::cli {

// The colours of the curves, 0..1 RGB: channels take the peak colours in turn (RMS the
// paler ones); the short-term loudness is the last.
struct PlotColour {
    double r, g, b;
};
inline constexpr PlotColour kPeakColours[4] = {
    {0.12, 0.40, 0.75}, {0.85, 0.37, 0.0}, {0.15, 0.60, 0.20}, {0.60, 0.20, 0.60}};
inline constexpr PlotColour kRmsColours[4] = {
    {0.55, 0.75, 0.95}, {1.0, 0.72, 0.45}, {0.60, 0.85, 0.60}, {0.85, 0.65, 0.85}};
inline constexpr PlotColour kLoudnessColour = {0.0, 0.0, 0.0};

// Draws into `file` (made before the run, so that an unusable name fails before any work)
// and commits it. `result` must hold traces (job.trace). Throws HostError.
void writeLevelPlot(PendingFile& file, const ProcessJob& job, const ProcessResult& result);

} // namespace kavet::cli
