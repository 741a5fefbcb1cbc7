#include "levels.h"

#include <cmath>
#include <cstdio>

namespace kavet::cli {

namespace {

double toDb(double linear) {
    return linear > 0.0 ? 20.0 * std::log10(linear) : -INFINITY;
}

} // namespace

double ChannelLevel::peakDb() const {
    return toDb(peak);
}

double ChannelLevel::rmsDb() const {
    return frames == 0 ? -INFINITY : toDb(std::sqrt(sumSquares / static_cast<double>(frames)));
}

template <typename Sample> void LevelMeter::add(const Sample* interleaved, std::size_t frames) {
    const std::size_t channels = levels_.size();
    for (std::size_t c = 0; c < channels; ++c) {
        double peak = levels_[c].peak;
        double sum = 0.0;
        const Sample* sample = interleaved + c;
        for (std::size_t i = 0; i < frames; ++i, sample += channels) {
            const double x = static_cast<double>(*sample);
            const double magnitude = std::fabs(x);
            peak = magnitude > peak ? magnitude : peak;
            sum += x * x;
        }
        levels_[c].peak = peak;
        levels_[c].sumSquares += sum;
        levels_[c].frames += frames;
    }
}

template void LevelMeter::add<float>(const float*, std::size_t);
template void LevelMeter::add<double>(const double*, std::size_t);

std::string formatDb(double db) {
    if (std::isinf(db) && db < 0) return "   -inf";
    char text[32];
    std::snprintf(text, sizeof text, "%7.2f", db);
    return text;
}

} // namespace kavet::cli
