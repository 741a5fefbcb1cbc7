#include "level_trace.h"

#include "core/meter.h"
#include "loudness.h"

#include <algorithm>
#include <cmath>

namespace kavet::cli {

namespace {

// The core's flush rule: an envelope below this is 0 (meter.h, flushFloor).
constexpr double kFlush = 0x1p-1021;

float toDb(double linear) {
    return linear > 0.0 ? static_cast<float>(20.0 * std::log10(linear)) : -INFINITY;
}

} // namespace

LevelTrace::LevelTrace(int channels, int sampleRate, int ballisticsWord)
    : channels_(static_cast<std::size_t>(channels)),
      hopFrames_(static_cast<std::size_t>(std::max(1, sampleRate / LoudnessMeter::kHopsPerSecond))),
      envelope_(channels_), hopPeak_(channels_), hopSum_(channels_) {
    const MeterCoefficients c = meterCoefficients(ballisticsWord, sampleRate);
    attack_ = c.attack;
    release_ = c.release;
}

template <typename Sample> void LevelTrace::add(const Sample* interleaved, std::size_t frames) {
    while (frames > 0) {
        const std::size_t take = std::min(frames, hopFrames_ - inHop_);
        for (std::size_t c = 0; c < channels_; ++c) {
            double envelope = envelope_[c], peak = hopPeak_[c], sum = hopSum_[c];
            const Sample* sample = interleaved + c;
            for (std::size_t i = 0; i < take; ++i, sample += channels_) {
                const double x = static_cast<double>(*sample);
                const double m = std::fabs(x);
                envelope = m > envelope ? (m - envelope) * attack_ + envelope : release_ * envelope;
                if (envelope < kFlush) envelope = 0.0;
                peak = std::max(peak, envelope);
                sum += x * x;
            }
            envelope_[c] = envelope;
            hopPeak_[c] = peak;
            hopSum_[c] = sum;
        }
        interleaved += take * channels_;
        frames -= take;
        inHop_ += take;
        if (inHop_ == hopFrames_) endHop();
    }
}

template void LevelTrace::add<float>(const float*, std::size_t);
template void LevelTrace::add<double>(const double*, std::size_t);

void LevelTrace::endHop() {
    std::vector<TracePoint> hop(channels_);
    for (std::size_t c = 0; c < channels_; ++c) {
        hop[c] = {toDb(hopPeak_[c]), toDb(std::sqrt(hopSum_[c] / static_cast<double>(inHop_)))};
        hopPeak_[c] = 0.0;
        hopSum_[c] = 0.0;
    }
    points_.push_back(std::move(hop));
    inHop_ = 0;
}

} // namespace kavet::cli
