// Level metering: a ballistic envelope, a peak hold and a mean-square sum for each of the
// four meter channels (input left/right, output left/right), and the snapshot that the
// editor reads.
#pragma once

#include <atomic>
#include <cstdint>

namespace kavet {

enum MeterChannel : int { kInLeft = 0, kInRight = 1, kOutLeft = 2, kOutRight = 3 };
inline constexpr int kMeterChannels = 4;

// Twelve linear amplitudes: envelopes 0-3, RMS 4-7, peaks 8-11, each in channel order.
struct MeterSnapshot {
    double values[12];
};

struct Ballistics {
    double attackLevel;    // a: the envelope reaches a of a step's distance...
    double attackSeconds;  // ...after this long
    double releaseLevel;   // b: the envelope falls to b of its value...
    double releaseSeconds; // ...after this long
};

// Indexed by the two low bits of preference word 3.
inline constexpr Ballistics kBallistics[4] = {
    {0.01, 0.001, 0.1, 0.3},  // Digital PPM (attack forced to 1: follows a rise at once)
    {0.2, 0.005, 0.1, 1.5},   // PPM
    {0.1, 0.3, 0.9, 0.3},     // VU
    {0.2, 0.01, 0.0631, 2.8}, // BBC
};

struct MeterCoefficients {
    double attack = 1.0;
    double release = 0.1;
    // Smallest x >= 0 whose product with the attack (release) survives the flush rule.
    double riseFloor = 0x1p-1021;
    double fallFloor = 0x1p-1021 / 0.1;
};

// Smallest x >= 0 whose product with k (0 < k <= 1) survives the flush rule: k * x is
// flushed exactly when x is below this.
double flushFloor(double k);

MeterCoefficients meterCoefficients(int ballisticsWord, double sampleRate);

// State the audio thread accumulates: one envelope, peak and sum per channel and the
// number of samples since the last successful snapshot.
struct MeterAccumulators {
    double envelope[kMeterChannels];
    double peak[kMeterChannels];
    double sum[kMeterChannels];
    std::uint64_t count;
};

// The hand-off between the audio thread (single writer) and the editor (single reader),
// free of data races. The audio thread keeps its accumulators in registers for a block
// and publishes them at the block's end; the reader takes the published values and clears
// the peaks, and the sums and count when it used them. When a reader clears a value while
// a block runs, that block is split between two readings, as a reading taken mid-block
// would split it anyway.
class SharedMeters {
public:
    // Audio thread, at the start of a block: the accumulators as published (reflecting any
    // clear the reader made since).
    void load(MeterAccumulators& acc) const;
    // Audio thread, at the end of a block started from `start`.
    void publish(const MeterAccumulators& start, const MeterAccumulators& now);
    // UI thread: fills the snapshot; false (RMS positions untouched) when no sample was
    // counted since the last successful snapshot.
    bool snapshot(MeterSnapshot& out);
    // All values to 0 (resume, while audio is stopped).
    void clear();

private:
    std::atomic<double> envelope_[kMeterChannels] = {};
    std::atomic<double> peak_[kMeterChannels] = {};
    std::atomic<double> sum_[kMeterChannels] = {};
    std::atomic<std::uint64_t> count_ = 0;
};

} // namespace kavet
