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

// The data are relaxed atomics ordered by the sequence word: the writer's release fence
// after opening a publication and the reader's acquire fence before marking it make a
// reader that saw any of the new values fail its compare-exchange.

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

void SharedMeters::publish(const MeterAccumulators& start, const MeterAccumulators& now) {
    constexpr auto r = std::memory_order_relaxed;
    const std::uint64_t opened = sequence_.fetch_add(kWriting, r);
    std::atomic_thread_fence(std::memory_order_release);
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
    sequence_.store((opened & ~kTaken) + 2 * kWriting, std::memory_order_release);
    startTaken_ = false;
}

bool SharedMeters::snapshot(MeterSnapshot& out) {
    constexpr auto r = std::memory_order_relaxed;
    double envelope[kMeterChannels], peak[kMeterChannels], sum[kMeterChannels];
    std::uint64_t count;
    for (;;) {
        std::uint64_t seen = sequence_.load(std::memory_order_acquire);
        if ((seen & kWriting) != 0) {
            std::this_thread::yield(); // the audio thread is inside its publication
            continue;
        }
        for (int c = 0; c < kMeterChannels; ++c) {
            envelope[c] = envelope_[c].load(r);
            peak[c] = peak_[c].load(r);
            sum[c] = sum_[c].load(r);
        }
        count = count_.load(r);
        std::atomic_thread_fence(std::memory_order_acquire);
        if ((seen & kTaken) != 0) {
            // Taken before: only the envelopes are news.
            if (sequence_.load(r) != seen) continue;
            for (double& p : peak)
                p = 0.0;
            count = 0;
            break;
        }
        if (sequence_.compare_exchange_strong(seen, seen | kTaken, r)) break;
    }
    for (int c = 0; c < kMeterChannels; ++c) {
        out.values[c] = envelope[c];
        out.values[8 + c] = peak[c];
    }
    if (count == 0) return false;
    double reciprocal = 1.0 / static_cast<double>(count);
    for (int c = 0; c < kMeterChannels; ++c) {
        out.values[4 + c] = std::sqrt(reciprocal * sum[c]);
    }
    return true;
}

void SharedMeters::clear() {
    constexpr auto r = std::memory_order_relaxed;
    const std::uint64_t opened = sequence_.fetch_add(kWriting, r);
    std::atomic_thread_fence(std::memory_order_release);
    for (int c = 0; c < kMeterChannels; ++c) {
        envelope_[c].store(0.0, r);
        peak_[c].store(0.0, r);
        sum_[c].store(0.0, r);
    }
    count_.store(0, r);
    sequence_.store((opened & ~kTaken) + 2 * kWriting, std::memory_order_release);
    startTaken_ = false;
}

} // namespace kavet
