// kavet process --plot FILE.png: the input and the output over time (plot_axes.h), drawn
// with cairo: per channel the meter's peak and RMS (in the plug-in's ballistics) and the
// short-term loudness, with a dB scale, a time axis and a legend.
#pragma once

#include "pending_file.h"
#include "plot_axes.h"
#include "process_job.h"

#include <string>

namespace kavet::cli {

// Draws into `file` (made before the run, so that an unusable name fails before any work)
// and commits it. `result` must hold traces (job.trace). Throws HostError.
void writeLevelPlot(PendingFile& file, const ProcessJob& job, const ProcessResult& result);

} // namespace kavet::cli
