// Loudness of a whole file after ITU-R BS.1770 and EBU R 128 (through libebur128): integrated
// loudness, loudness range, the largest momentary and short-term loudness; and the true peak
// of each channel (true_peak.h). Channels 1 to 6 follow the library's map (L, R, C, LFE
// unused, Ls, Rs); a mono file counts as its one channel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <ebur128.h>

#include "true_peak.h"

namespace kavet::cli {

struct Loudness {
    double integrated = 0.0;      // LUFS; minus infinity when every block is gated out
    double range = 0.0;           // LU
    double maxMomentary = 0.0;    // LUFS, 400 ms windows every 100 ms
    double maxShortTerm = 0.0;    // LUFS, 3 s windows every 100 ms
    std::vector<double> truePeak; // dBTP of each channel (16x oversampled, TruePeakMeter)

    double maxTruePeak() const; // dBTP, the largest of the channels
};

class LoudnessMeter {
public:
    // Throws HostError when the library refuses the shape (no channels, no rate).
    LoudnessMeter(int channels, int sampleRate);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    // Adds `frames` interleaved frames. The windows are read every 100 ms of audio
    // (kHopsPerSecond), whatever the lengths given here.
    template <typename Sample> void add(const Sample* interleaved, std::size_t frames);

    // Ends the measurement (the true peak's resampler is drained): nothing may be added after.
    Loudness figures();
    // The short-term loudness (LUFS) at the end of every 100 ms of audio so far, the
    // windows of the first three seconds counting the silence before the start.
    const std::vector<float>& shortTermTrace() const { return shortTerm_; }

    static constexpr int kHopsPerSecond = 10;
    static constexpr std::size_t kShortTermHops = 30; // 3 s

private:
    void endHop();

    ebur128_state* state_ = nullptr;
    TruePeakMeter truePeak_;
    int channels_;
    std::size_t hopFrames_;
    std::size_t inHop_ = 0; // frames of the current hop so far
    double maxMomentary_;
    double maxShortTerm_;
    std::vector<float> shortTerm_;
    // The mean square (K-weighted, channel-weighted) of each of the last 30 hops, oldest
    // first from ringAt_: the short-term window is their mean, one addition per hop
    // instead of a pass over 3 s of samples.
    double ring_[kShortTermHops] = {};
    std::size_t ringAt_ = 0;
};

} // namespace kavet::cli
