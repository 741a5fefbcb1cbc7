#include "signal_analysis.h"

namespace kavet::cli {

SignalAnalysis::SignalAnalysis(int channels, int sampleRate, int ballisticsWord)
    : levels_(channels), loudness_(channels, sampleRate) {
    if (ballisticsWord >= 0) trace_.emplace(channels, sampleRate, ballisticsWord);
}

SignalFigures SignalAnalysis::figures() {
    SignalFigures result{levels_.channels(), loudness_.figures(), {}, {}};
    if (trace_) {
        result.trace = trace_->points();
        result.shortTerm = loudness_.shortTermTrace();
    }
    return result;
}

} // namespace kavet::cli
