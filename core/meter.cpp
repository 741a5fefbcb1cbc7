#include "meter.h"

#include <cmath>
#include <limits>

namespace kavet {

MeterCoefficients meterCoefficients(int ballisticsWord, double sampleRate) {
    const Ballistics& b = kBallistics[ballisticsWord & 3];
    MeterCoefficients c;
    c.attack = 1.0 - std::pow(b.attackLevel, 1.0 / (sampleRate * b.attackSeconds));
    c.release = std::pow(b.releaseLevel, 1.0 / (sampleRate * b.releaseSeconds));
    if ((ballisticsWord & 3) == 0) c.attack = 1.0;
    c.riseFloor = flushFloor(c.attack);
    c.fallFloor = flushFloor(c.release);
    return c;
}

double flushFloor(double k) {
    constexpr double tiny = 0x1p-1021;
    const double inf = std::numeric_limits<double>::infinity();
    if (!(k > 0.0)) return inf; // every product is 0
    double x = tiny / k;
    while (x < inf && k * x < tiny)
        x = std::nextafter(x, inf);
    while (x > 0.0 && k * std::nextafter(x, 0.0) >= tiny)
        x = std::nextafter(x, 0.0);
    return x;
}

void SharedMeters::load(MeterAccumulators& acc) const {
    constexpr auto r = std::memory_order_relaxed;
    for (int c = 0; c < kMeterChannels; ++c) {
        acc.envelope[c] = envelope_[c].load(r);
        acc.peak[c] = peak_[c].load(r);
        acc.sum[c] = sum_[c].load(r);
    }
    acc.count = count_.load(r);
}

// Replaces `from` by `to` unless the reader cleared the value meanwhile; then only what
// accrued since the start of the block (`to - from`) is kept.
static void publishSum(std::atomic<double>& shared, double from, double to) {
    double expected = from;
    if (!shared.compare_exchange_strong(expected, to, std::memory_order_relaxed)) {
        shared.store(to - from, std::memory_order_relaxed);
    }
}

void SharedMeters::publish(const MeterAccumulators& start, const MeterAccumulators& now) {
    constexpr auto r = std::memory_order_relaxed;
    for (int c = 0; c < kMeterChannels; ++c) {
        envelope_[c].store(now.envelope[c], r);
        double expected = start.peak[c];
        if (!peak_[c].compare_exchange_strong(expected, now.peak[c], r)) {
            peak_[c].store(now.envelope[c], r);
        }
        publishSum(sum_[c], start.sum[c], now.sum[c]);
    }
    std::uint64_t expected = start.count;
    if (!count_.compare_exchange_strong(expected, now.count, r)) {
        count_.store(now.count - start.count, r);
    }
}

bool SharedMeters::snapshot(MeterSnapshot& out) {
    constexpr auto r = std::memory_order_relaxed;
    for (int c = 0; c < kMeterChannels; ++c)
        out.values[c] = envelope_[c].load(r);
    for (int c = 0; c < kMeterChannels; ++c)
        out.values[8 + c] = peak_[c].exchange(0.0, r);
    std::uint64_t count = count_.exchange(0, r);
    if (count == 0) return false;
    double reciprocal = 1.0 / static_cast<double>(count);
    for (int c = 0; c < kMeterChannels; ++c) {
        out.values[4 + c] = std::sqrt(reciprocal * sum_[c].exchange(0.0, r));
    }
    return true;
}

void SharedMeters::clear() {
    constexpr auto r = std::memory_order_relaxed;
    for (int c = 0; c < kMeterChannels; ++c) {
        envelope_[c].store(0.0, r);
        peak_[c].store(0.0, r);
        sum_[c].store(0.0, r);
    }
    count_.store(0, r);
}

} // namespace kavet
