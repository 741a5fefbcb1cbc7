#include "meter.h"

#include <cmath>
#include <limits>
#include <thread>

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

void MeterCoefficientTable::fill(double sampleRate) {
    constexpr auto r = std::memory_order_relaxed;
    for (int word = 0; word < 4; ++word) {
        const MeterCoefficients c = meterCoefficients(word, sampleRate);
        attack_[word].store(c.attack, r);
        release_[word].store(c.release, r);
        riseFloor_[word].store(c.riseFloor, r);
        fallFloor_[word].store(c.fallFloor, r);
    }
}

MeterCoefficients MeterCoefficientTable::row(int ballisticsWord) const {
    constexpr auto r = std::memory_order_relaxed;
    const int word = ballisticsWord & 3;
    MeterCoefficients c;
    c.attack = attack_[word].load(r);
    c.release = release_[word].load(r);
    c.riseFloor = riseFloor_[word].load(r);
    c.fallFloor = fallFloor_[word].load(r);
    return c;
}

// The data are ordered by the sequence word without fences (which ThreadSanitizer cannot
// follow): the writer stores them with release after the read-modify-write that opens its
// publication, the reader loads them with acquire before it takes. A reader that saw any new
// value therefore sees the opening in its take (or later), and its compare-exchange fails.
// On x86 these are the plain moves of relaxed accesses.

void SharedMeters::load(MeterAccumulators& acc) {
    constexpr auto r = std::memory_order_relaxed;
    startTaken_ = (sequence_.load(r) & kTaken) != 0;
    for (int c = 0; c < kMeterChannels; ++c) {
        acc.envelope[c] = envelope_[c].load(r);
        acc.peak[c] = startTaken_ ? 0.0 : peak_[c].load(r);
        acc.sum[c] = startTaken_ ? 0.0 : sum_[c].load(r);
    }
    acc.count = startTaken_ ? 0 : count_.load(r);
}

std::uint64_t SharedMeters::open() {
    return sequence_.fetch_add(kWriting, std::memory_order_relaxed);
}

void SharedMeters::write(std::uint64_t opened, const MeterAccumulators& start,
                         const MeterAccumulators& now) {
    constexpr auto r = std::memory_order_release;
    // Taken during the block: only the block goes to the next reading. A taken peak of 0
    // hides nothing, so the block's own peak stands; otherwise the block's rises cannot be
    // told from the taken peak, and the block's last envelope stands for them.
    const bool split = !startTaken_ && (opened & kTaken) != 0;
    for (int c = 0; c < kMeterChannels; ++c) {
        envelope_[c].store(now.envelope[c], r);
        if (split) {
            peak_[c].store(start.peak[c] == 0.0 ? now.peak[c] : now.envelope[c], r);
            sum_[c].store(now.sum[c] - start.sum[c], r);
        } else {
            peak_[c].store(now.peak[c], r);
            sum_[c].store(now.sum[c], r);
        }
    }
    count_.store(split ? now.count - start.count : now.count, r);
}

void SharedMeters::close(std::uint64_t opened) {
    sequence_.store((opened & ~kTaken) + 2 * kWriting, std::memory_order_release);
    startTaken_ = false;
}

bool SharedMeters::observe(Reading& reading) const {
    constexpr auto a = std::memory_order_acquire;
    reading.seen = sequence_.load(std::memory_order_acquire);
    if ((reading.seen & kWriting) != 0) return false; // the audio thread is inside a publication
    for (int c = 0; c < kMeterChannels; ++c) {
        reading.envelope[c] = envelope_[c].load(a);
        reading.peak[c] = peak_[c].load(a);
        reading.sum[c] = sum_[c].load(a);
    }
    reading.count = count_.load(a);
    return true;
}

bool SharedMeters::take(Reading& reading) {
    constexpr auto r = std::memory_order_relaxed;
    if ((reading.seen & kTaken) != 0) {
        // Taken before: only the envelopes are news.
        if (sequence_.load(r) != reading.seen) return false;
        for (double& p : reading.peak)
            p = 0.0;
        reading.count = 0;
        return true;
    }
    std::uint64_t expected = reading.seen;
    return sequence_.compare_exchange_strong(expected, expected | kTaken, r);
}

bool SharedMeters::snapshot(MeterSnapshot& out) {
    Reading reading;
    for (;;) {
        if (!observe(reading)) {
            std::this_thread::yield();
            continue;
        }
        if (take(reading)) break;
    }
    for (int c = 0; c < kMeterChannels; ++c) {
        out.values[c] = reading.envelope[c];
        out.values[8 + c] = reading.peak[c];
    }
    if (reading.count == 0) return false;
    double reciprocal = 1.0 / static_cast<double>(reading.count);
    for (int c = 0; c < kMeterChannels; ++c) {
        out.values[4 + c] = std::sqrt(reciprocal * reading.sum[c]);
    }
    return true;
}

void SharedMeters::clear() {
    constexpr auto r = std::memory_order_release;
    const std::uint64_t opened = open();
    for (int c = 0; c < kMeterChannels; ++c) {
        envelope_[c].store(0.0, r);
        peak_[c].store(0.0, r);
        sum_[c].store(0.0, r);
    }
    count_.store(0, r);
    close(opened);
}

} // namespace kavet
