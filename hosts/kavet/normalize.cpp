#include "normalize.h"

#include "core/params.h"
#include "hosts/common/host_error.h"
#include "param_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kavet::cli {

namespace {

double toDb(double linear) {
    return linear > 0.0 ? 20.0 * std::log10(linear) : -INFINITY;
}

} // namespace

std::vector<ParamSetting> NormalizePlan::settings() const {
    return {{kGain, gainValue}, {kTrim, trimValue}};
}

NormalizePlan planNormalize(const Loudness& input, const NormalizeTarget& target,
                            double trimRangeDb) {
    if (!std::isfinite(input.integrated))
        throw host::HostError("its loudness cannot be measured (silent, or shorter than 0.4 s)");
    NormalizePlan plan;
    plan.target = target;
    plan.wantedDb = target.lufs - input.integrated;
    double gainDb = plan.wantedDb;
    // The room under the ceiling as the real inter-sample peak has it: the reading may lie
    // this much below it, and the output must not pass the ceiling on an exact meter.
    const double peakRoom = target.truePeakMax - TruePeakMeter::kUnderReadDb - input.maxTruePeak();
    if (peakRoom < gainDb) {
        gainDb = peakRoom;
        plan.peakLimited = true;
    }
    // The fader first (g = 8 v^3, up to +18.06 dB); the trim only for what lies beyond.
    const double faderTopDb = toDb(gainLaw(1.0f));
    if (gainDb <= faderTopDb) {
        plan.gainValue = toNormalised(kGain, gainDb, trimRangeDb);
    } else {
        plan.gainValue = 1.0f;
        plan.trimValue = toNormalised(kTrim, gainDb - faderTopDb, trimRangeDb);
    }
    plan.appliedDb = toDb(static_cast<double>(gainLaw(plan.gainValue)) *
                          static_cast<double>(trimLaw(plan.trimValue, trimRangeDb)));
    plan.rangeLimited = !plan.peakLimited && plan.appliedDb < plan.wantedDb - 0.05;
    return plan;
}

std::string describePlan(const NormalizePlan& plan) {
    char text[256];
    const int used = std::snprintf(text, sizeof text, "normalize to %.1f LUFS: gain %+.2f dB",
                                   plan.target.lufs, plan.appliedDb);
    std::string line(text, static_cast<std::size_t>(used));
    if (plan.peakLimited)
        std::snprintf(text, sizeof text,
                      ", held by the true-peak ceiling of %.1f dBTP: %.2f LU short of the target",
                      plan.target.truePeakMax, plan.shortfallLu());
    else if (plan.rangeLimited)
        std::snprintf(text, sizeof text,
                      ", fader and trim at their top: %.2f LU short of the target",
                      plan.shortfallLu());
    else
        text[0] = '\0';
    return line + text;
}

} // namespace kavet::cli
