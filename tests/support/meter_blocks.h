// The audio thread's side of the meter hand-off, scripted: blocks of a constant level with
// a chosen envelope trajectory, published through SharedMeters as the effect publishes.
#pragma once

#include "core/meter.h"

#include <algorithm>
#include <cstdint>

namespace kavet::test {

class BlockWriter {
public:
    explicit BlockWriter(SharedMeters& shared) : shared_(shared) {}

    // Opens a block: the accumulators as the effect loads them.
    void begin() {
        shared_.load(start_);
        now_ = start_;
    }
    // `frames` frames whose envelope rises to `high` and ends at `end` on every channel,
    // each frame adding `square` to the sums.
    void frames(std::uint64_t frames, double high, double end, double square) {
        for (int c = 0; c < kMeterChannels; ++c) {
            now_.peak[c] = std::max(now_.peak[c], high);
            now_.envelope[c] = end;
            for (std::uint64_t i = 0; i < frames; ++i)
                now_.sum[c] += square;
        }
        now_.count += frames;
    }
    void end() { shared_.publish(start_, now_); }
    // end() in its three steps, for a reader between them.
    void open() { opened_ = shared_.open(); }
    void write() { shared_.write(opened_, start_, now_); }
    void close() { shared_.close(opened_); }

private:
    SharedMeters& shared_;
    MeterAccumulators start_{}, now_{};
    std::uint64_t opened_ = 0;
};

} // namespace kavet::test
