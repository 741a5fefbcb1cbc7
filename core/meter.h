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

MeterCoefficients meterCoefficients(int ballisticsWord, double sampleRate); // [any thread]

// The coefficients of every ballistics word at one sample rate. They depend on nothing
// else, so they are made when the rate changes (while audio is stopped) and a target
// computation, on whichever thread, only looks its row up.
class MeterCoefficientTable {
public:
    explicit MeterCoefficientTable(double sampleRate) { fill(sampleRate); }
    void fill(double sampleRate); // [UI thread], audio stopped (setSampleRate)
    // [any thread] The row of the word's two low bits: meterCoefficients(ballisticsWord,
    // sampleRate).
    MeterCoefficients row(int ballisticsWord) const;

private:
    std::atomic<double> attack_[4], release_[4], riseFloor_[4], fallFloor_[4];
};

// State the audio thread accumulates: one envelope, peak and sum per channel and the
// number of samples since the last successful snapshot.
struct MeterAccumulators {
    double envelope[kMeterChannels];
    double peak[kMeterChannels];
    double sum[kMeterChannels];
    std::uint64_t count;
};

// The hand-off between the [audio thread] (single writer of the values and the sequence
// word's count and writing bit) and the [UI thread] (single reader, whose only write is the
// sequence word's taken bit),
// free of data races. The audio thread keeps its accumulators in registers for a block
// and publishes them at the block's end under one sequence word; the reader takes a
// consistent set of published values, and taking them clears the peaks, sums and count
// (the envelopes stay). When the reader takes a publication while a block runs, that block
// is split between two readings: what was published before it goes to the reading, the
// block itself to the next one, and nothing taken comes back.
//
// The sequence word also carries the reader's "taken" mark, so that marking and
// publishing are ordered by the word alone: the reader marks with one compare-exchange
// that fails if a publication started since it read, and the writer learns of the mark
// with the same read-modify-write that opens its publication. One atomic read-modify-write
// per block and per reading; a plain store of the word by the writer could lose a mark
// made between its read and its store.
class SharedMeters {
public:
    // [audio thread] At the start of a block: the accumulators as published, with peaks,
    // sums and count at 0 when the reader took them since.
    void load(MeterAccumulators& acc);
    // [audio thread] At the end of a block started from `start` (what load gave):
    // open, write, close.
    void publish(const MeterAccumulators& start, const MeterAccumulators& now) {
        const std::uint64_t opened = open();
        write(opened, start, now);
        close(opened);
    }
    // [UI thread] Fills the snapshot; false (RMS positions untouched) when no sample was
    // counted since the last successful snapshot. Observe until a publication is not being
    // written, then take; again from observing when a publication came in between.
    [[nodiscard]] bool snapshot(MeterSnapshot& out);
    // All values to 0. [UI thread] (resume), while audio is stopped.
    void clear();

    // The steps of publish and snapshot, in their order. Both are made of these and
    // nothing else; a reading may fall between any two of the writer's steps.
    //
    // [audio thread] Marks a publication as being written and answers the word before it,
    // which tells whether the reader took the last publication during the block.
    std::uint64_t open();
    // [audio thread] The block's values (split from what was taken, when it was).
    void write(std::uint64_t opened, const MeterAccumulators& start, const MeterAccumulators& now);
    // [audio thread] The publication is whole, and not taken.
    void close(std::uint64_t opened);

    // What one reading saw.
    struct Reading {
        std::uint64_t seen; // the sequence word
        double envelope[kMeterChannels], peak[kMeterChannels], sum[kMeterChannels];
        std::uint64_t count;
    };
    // [UI thread] Reads the publication; false while one is being written (nothing read).
    [[nodiscard]] bool observe(Reading& r) const;
    // [UI thread] Takes what observe read, so that the writer's next block starts from 0;
    // a publication taken before reads with peaks and count 0. False when a publication
    // came after observe: the reading does not stand.
    [[nodiscard]] bool take(Reading& r);

private:
    // Bit 0: the reader took the current publication. Bit 1: a publication is being
    // written (the reader waits). Above: the number of publications.
    static constexpr std::uint64_t kTaken = 1, kWriting = 2;

    std::atomic<std::uint64_t> sequence_ = 0;
    std::atomic<double> envelope_[kMeterChannels] = {};
    std::atomic<double> peak_[kMeterChannels] = {};
    std::atomic<double> sum_[kMeterChannels] = {};
    std::atomic<std::uint64_t> count_ = 0;
    bool startTaken_ = false; // [audio thread] the block's start was a taken publication
};

} // namespace kavet
