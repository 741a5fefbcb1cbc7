// Levels over time for the plot: for every 100 ms of audio (LoudnessMeter's hop) and every
// channel, the highest value of the meter's ballistic envelope and the RMS, as the plug-in's
// meters show them (core/meter.h: the same coefficients and flush rule).
#pragma once

#include <cstddef>
#include <vector>

namespace kavet::cli {

struct TracePoint {
    float peakDb; // envelope maximum over the hop
    float rmsDb;  // of the hop's samples
};

class LevelTrace {
public:
    // `ballisticsWord`: the meter preference (0 Digital PPM, 1 PPM, 2 VU, 3 BBC).
    LevelTrace(int channels, int sampleRate, int ballisticsWord);

    template <typename Sample> void add(const Sample* interleaved, std::size_t frames);

    // points()[hop][channel]; only whole hops.
    const std::vector<std::vector<TracePoint>>& points() const { return points_; }

private:
    void endHop();

    std::size_t channels_;
    std::size_t hopFrames_;
    std::size_t inHop_ = 0;
    double attack_, release_;
    std::vector<double> envelope_, hopPeak_, hopSum_;
    std::vector<std::vector<TracePoint>> points_;
};

} // namespace kavet::cli
