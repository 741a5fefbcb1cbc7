// Everything kavet process measures of one signal (the input or the output of a run), fed
// block by block as the file goes through: peak and RMS, loudness, and the levels over time
// when a plot is asked for.
#pragma once

#include "level_trace.h"
#include "levels.h"
#include "loudness.h"

#include <optional>

namespace kavet::cli {

struct SignalFigures {
    std::vector<ChannelLevel> levels;
    Loudness loudness;
    // With a trace only: per hop and channel, and the short-term loudness per hop.
    std::vector<std::vector<TracePoint>> trace;
    std::vector<float> shortTerm;
};

class SignalAnalysis {
public:
    // `ballisticsWord` < 0: no trace. Throws HostError (LoudnessMeter).
    SignalAnalysis(int channels, int sampleRate, int ballisticsWord);

    template <typename Sample> void add(const Sample* interleaved, std::size_t frames) {
        levels_.add(interleaved, frames);
        loudness_.add(interleaved, frames);
        if (trace_) trace_->add(interleaved, frames);
    }

    // Ends the measurement: nothing may be added after.
    SignalFigures figures();

private:
    LevelMeter levels_;
    LoudnessMeter loudness_;
    std::optional<LevelTrace> trace_;
};

} // namespace kavet::cli
