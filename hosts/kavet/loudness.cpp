#include "loudness.h"

#include "hosts/common/host_error.h"

#include <algorithm>
#include <cmath>
#include <ebur128.h>

namespace kavet::cli {

namespace {

// The true peak is TruePeakMeter's: the library's own 4x reading lies up to 0.7 dB low near
// the top of the band.
constexpr int kModes = EBUR128_MODE_M | EBUR128_MODE_I | EBUR128_MODE_LRA;
// BS.1770: loudness = -0.691 + 10 log10(weighted mean square).
constexpr double kLoudnessOffset = -0.691;

int addFrames(ebur128_state* state, const float* interleaved, std::size_t frames) {
    return ebur128_add_frames_float(state, interleaved, frames);
}

int addFrames(ebur128_state* state, const double* interleaved, std::size_t frames) {
    return ebur128_add_frames_double(state, interleaved, frames);
}

double toDb(double linear) {
    return linear > 0.0 ? 20.0 * std::log10(linear) : -INFINITY;
}

} // namespace

double Loudness::maxTruePeak() const {
    double peak = -INFINITY;
    for (double channel : truePeak)
        peak = std::max(peak, channel);
    return peak;
}

LoudnessMeter::LoudnessMeter(int channels, int sampleRate)
    : truePeak_(channels, sampleRate), channels_(channels),
      hopFrames_(static_cast<std::size_t>(std::max(1, sampleRate / kHopsPerSecond))),
      maxMomentary_(-INFINITY), maxShortTerm_(-INFINITY) {
    if (channels > 0 && sampleRate > 0)
        state_ = ebur128_init(static_cast<unsigned>(channels),
                              static_cast<unsigned long>(sampleRate), kModes);
    if (state_ == nullptr)
        throw host::HostError("cannot measure loudness of " + std::to_string(channels) +
                              " channel(s) at " + std::to_string(sampleRate) + " Hz");
}

LoudnessMeter::~LoudnessMeter() {
    ebur128_destroy(&state_);
}

template <typename Sample> void LoudnessMeter::add(const Sample* interleaved, std::size_t frames) {
    truePeak_.add(interleaved, frames);
    const auto channels = static_cast<std::size_t>(channels_);
    while (frames > 0) {
        const std::size_t take = std::min(frames, hopFrames_ - inHop_);
        if (addFrames(state_, interleaved, take) != EBUR128_SUCCESS)
            throw host::HostError("loudness measurement ran out of memory");
        interleaved += take * channels;
        frames -= take;
        inHop_ += take;
        if (inHop_ == hopFrames_) endHop();
    }
}

template void LoudnessMeter::add<float>(const float*, std::size_t);
template void LoudnessMeter::add<double>(const double*, std::size_t);

void LoudnessMeter::endHop() {
    inHop_ = 0;
    double momentary = -INFINITY;
    double hop = -INFINITY;
    ebur128_loudness_momentary(state_, &momentary);
    ebur128_loudness_window(state_, 1000 / kHopsPerSecond, &hop);
    ring_[ringAt_] = std::isfinite(hop) ? std::pow(10.0, (hop - kLoudnessOffset) / 10.0) : 0.0;
    ringAt_ = (ringAt_ + 1) % kShortTermHops;
    double sum = 0.0;
    for (double energy : ring_)
        sum += energy;
    const double shortTerm =
        sum > 0.0 ? kLoudnessOffset + 10.0 * std::log10(sum / kShortTermHops) : -INFINITY;
    maxMomentary_ = std::max(maxMomentary_, momentary);
    maxShortTerm_ = std::max(maxShortTerm_, shortTerm);
    shortTerm_.push_back(static_cast<float>(shortTerm));
}

Loudness LoudnessMeter::figures() {
    Loudness result;
    result.integrated = -INFINITY;
    ebur128_loudness_global(state_, &result.integrated);
    ebur128_loudness_range(state_, &result.range);
    result.maxMomentary = maxMomentary_;
    result.maxShortTerm = maxShortTerm_;
    truePeak_.finish();
    for (double peak : truePeak_.peaks())
        result.truePeak.push_back(toDb(peak));
    return result;
}

} // namespace kavet::cli
