// Loudness normalising through the plug-in's own gain: from the input's measured loudness
// and true peak, the fader and trim values that bring the output to a target, no higher
// than a true-peak ceiling (less the true-peak reading's largest error, so that the output's
// real inter-sample peak stays at or below it). The values come from the core's gain and trim laws
// (core/params.h), so the gain reported is the gain the plug-in applies.
#pragma once

#include "loudness.h"
#include "processor.h"

#include <string>
#include <vector>

namespace kavet::cli {

struct NormalizeTarget {
    double lufs = -23.0;
    double truePeakMax = -1.0; // dBTP
};

struct NormalizePlan {
    NormalizeTarget target;
    double wantedDb = 0.0;     // the gain that would reach the target
    double appliedDb = 0.0;    // the gain the fader and trim values give
    float gainValue = 0.5f;    // normalised fader value
    float trimValue = 0.5f;    // normalised trim value
    bool peakLimited = false;  // the ceiling holds the gain below wantedDb
    bool rangeLimited = false; // fader and trim at the top and still short

    double shortfallLu() const { return wantedDb - appliedDb; }
    std::vector<ParamSetting> settings() const;
};

// Throws HostError when the input has no measurable loudness (silence, or shorter than one
// 400 ms block). `trimRangeDb`: the plug-in's trim range (core trimRangeDb).
NormalizePlan planNormalize(const Loudness& input, const NormalizeTarget& target,
                            double trimRangeDb);

// One line on the outcome: the gain used, and why and by how much it stops short.
std::string describePlan(const NormalizePlan& plan);

} // namespace kavet::cli
