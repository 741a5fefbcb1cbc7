// Metering: the four ballistics, peaks, RMS sums and the snapshot's reset-on-read rules.
#include "host_fixture.h"
#include "meter_blocks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <string>
#include <thread>

namespace kavet::test {
namespace {

constexpr double kRate = 48000.0;

struct Meters {
    EffectHandle fx;
    explicit Meters(int ballistics) {
        fx.plug().getPrefs()->set(kPrefBallistics, ballistics);
        fx.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
        fx.dispatch(effMainsChanged, 0, 1);
    }
    void feed(double value, int frames) {
        const int block = 512;
        for (int done = 0; done < frames; done += block) {
            int n = std::min(block, frames - done);
            fx.runDouble(
                std::vector<std::vector<double>>(kNumChannels, std::vector<double>(n, value)));
        }
    }
    MeterSnapshot snap() {
        MeterSnapshot s{};
        (void)fx.plug().getMeterSnapshot(s); // nothing counted leaves the RMS values at 0
        return s;
    }
};

int samples(double seconds) {
    return static_cast<int>(std::lround(seconds * kRate));
}

TEST(Meters, DigitalPpmFollowsARiseAtOnce) {
    Meters m(0);
    m.feed(0.5, 1);
    EXPECT_EQ(m.snap().values[0], 0.5);
    // An equal level counts as a fall: the envelope alternates between the level and one
    // release step below it, and the peak holds the level.
    m.feed(0.5, 1);
    EXPECT_EQ(m.snap().values[0], 0.5 * meterCoefficients(0, kRate).release);
    m.feed(0.5, 1);
    MeterSnapshot s = m.snap();
    EXPECT_EQ(s.values[0], 0.5);
    EXPECT_EQ(s.values[8], 0.5);
}

struct BallisticsCase {
    int word;
    double attackSeconds;
    double attackReads; // fraction of a step from silence to 1.0
    double releaseSeconds;
    double releaseReads; // from 1.0
};

class BallisticsRows : public testing::TestWithParam<BallisticsCase> {};

TEST_P(BallisticsRows, AttackAndReleaseReachTheirLevelsInTime) {
    const BallisticsCase& c = GetParam();
    Meters m(c.word);
    m.feed(1.0, samples(c.attackSeconds));
    EXPECT_NEAR(m.snap().values[kInLeft], c.attackReads, 2e-4) << "attack";

    m.feed(1.0, samples(20.0)); // settled at full scale
    EXPECT_NEAR(m.snap().values[kInLeft], 1.0, 1e-9);
    m.feed(0.0, samples(c.releaseSeconds));
    EXPECT_NEAR(m.snap().values[kInLeft], c.releaseReads, 1e-4) << "release";
}

std::string rowName(const testing::TestParamInfo<BallisticsCase>& info) {
    return "Word" + std::to_string(info.param.word);
}

INSTANTIATE_TEST_SUITE_P(Table, BallisticsRows,
                         testing::Values(BallisticsCase{0, 1.0 / kRate, 1.0, 0.3, 0.1},
                                         BallisticsCase{1, 0.005, 0.8, 1.5, 0.1},
                                         BallisticsCase{2, 0.3, 0.9, 0.3, 0.9},
                                         BallisticsCase{3, 0.01, 0.8, 2.8, 0.0631},
                                         // Only the two low bits select the row.
                                         BallisticsCase{7, 0.01, 0.8, 2.8, 0.0631}),
                         rowName);

TEST(Meters, CoefficientsFollowTheTable) {
    struct Case {
        int word;
        double attack;
        double release;
    };
    const Case cases[] = {
        {0, 1.0, std::pow(0.1, 1.0 / (kRate * 0.3))},
        {1, 1.0 - std::pow(0.2, 1.0 / (kRate * 0.005)), std::pow(0.1, 1.0 / (kRate * 1.5))},
        {2, 1.0 - std::pow(0.1, 1.0 / (kRate * 0.3)), std::pow(0.9, 1.0 / (kRate * 0.3))},
        {3, 1.0 - std::pow(0.2, 1.0 / (kRate * 0.01)), std::pow(0.0631, 1.0 / (kRate * 2.8))},
    };
    for (const Case& c : cases) {
        MeterCoefficients k = meterCoefficients(c.word, kRate);
        EXPECT_EQ(k.attack, c.attack) << c.word;
        EXPECT_EQ(k.release, c.release) << c.word;
    }
}

TEST(Meters, EnvelopeUpdateIsBitExact) {
    // One step of the envelope as defined, against the effect, sample by sample.
    Meters m(1);
    MeterCoefficients k = meterCoefficients(1, kRate);
    const double input[] = {0.5, -0.75, 0.25, 0.0, -1.0, 0.6, 0.6, 0.1};
    double env = 0.0;
    for (double s : input) {
        m.feed(s, 1);
        double mag = s > 0 ? s : -s;
        env = mag > env ? (mag - env) * k.attack + env : k.release * env;
        ASSERT_EQ(m.snap().values[kInLeft], env) << s;
    }
}

TEST(Meters, SecondSnapshotWithoutAudioReturnsFalse) {
    Meters m(0);
    m.feed(0.5, 100);
    MeterSnapshot first{}, second{};
    ASSERT_TRUE(m.fx.plug().getMeterSnapshot(first));
    for (double& v : second.values)
        v = -7.0;
    EXPECT_FALSE(m.fx.plug().getMeterSnapshot(second));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(second.values[i], first.values[i]) << i;
    for (int i = 4; i < 8; ++i)
        EXPECT_EQ(second.values[i], -7.0) << "RMS not written " << i;
    for (int i = 8; i < 12; ++i)
        EXPECT_EQ(second.values[i], 0.0) << "peak cleared " << i;
}

TEST(Meters, RmsCoversTheSamplesSinceTheLastSuccessfulSnapshot) {
    Meters m(0);
    m.feed(0.5, 1000);
    MeterSnapshot s = m.snap();
    EXPECT_EQ(s.values[4], 0.5);
    EXPECT_EQ(s.values[6], 0.5);
    m.feed(0.25, 300);
    m.feed(0.0, 100);
    s = m.snap();
    EXPECT_DOUBLE_EQ(s.values[4], std::sqrt(0.0625 * 300 / 400));
}

TEST(Meters, SilenceCountsButAddsNothing) {
    Meters m(0);
    m.feed(1.0, 10);
    m.snap();
    m.feed(0.0, 50);
    MeterSnapshot s{};
    EXPECT_TRUE(m.fx.plug().getMeterSnapshot(s));
    for (int i = 4; i < 8; ++i)
        EXPECT_EQ(s.values[i], 0.0) << i;
}

TEST(Meters, PeakIsTheHighestEnvelopeSinceTheLastSnapshot) {
    Meters m(0);
    m.feed(0.9, 1);
    m.feed(0.0, samples(0.3));
    MeterSnapshot s = m.snap();
    EXPECT_EQ(s.values[8], 0.9);
    EXPECT_NEAR(s.values[0], 0.09, 1e-4);
    s = m.snap();
    EXPECT_EQ(s.values[8], 0.0);
    m.feed(0.0, 1);
    s = m.snap();
    EXPECT_EQ(s.values[8], s.values[0]) << "the decaying envelope is the new peak";
}

TEST(Meters, MonoBuildsLeaveTheRightChannelsAtZero) {
    Meters m(2);
    m.feed(0.7, 5000);
    MeterSnapshot s = m.snap();
    for (int i : {1, 3, 5, 7, 9, 11})
        EXPECT_EQ(s.values[i] == 0.0, !kStereo) << i;
    for (int i : {0, 2, 4, 6, 8, 10})
        EXPECT_GT(s.values[i], 0.0) << i;
}

TEST(Meters, MuteDoesNotStopMetering) {
    Meters m(0);
    m.fx.plug().setParameter(kMute, 1.0f);
    m.feed(0.5, samples(1.0));
    MeterSnapshot s = m.snap();
    EXPECT_EQ(s.values[8], 0.5) << "input peak";
    EXPECT_LT(s.values[kOutLeft], 1e-3) << "the output envelope falls with the gain";
    EXPECT_GT(s.values[6], 0.0) << "output RMS of the decay";
}

TEST(Meters, OutputMetersFollowTheGain) {
    Meters m(0);
    m.fx.plug().setParameter(kGain, 0.25f);
    m.fx.dispatch(effMainsChanged, 0, 1);
    m.feed(-1.0, 100);
    MeterSnapshot s = m.snap();
    EXPECT_EQ(s.values[6], 0.125);
    EXPECT_EQ(s.values[10], 0.125);
    EXPECT_EQ(s.values[8], 1.0);
}

TEST(Meters, ResumeClearsAllMeterState) {
    Meters m(1);
    m.feed(0.8, 1000);
    m.fx.dispatch(effMainsChanged, 0, 1);
    MeterSnapshot s{};
    EXPECT_FALSE(m.fx.plug().getMeterSnapshot(s));
    for (int i : {0, 1, 2, 3, 8, 9, 10, 11})
        EXPECT_EQ(s.values[i], 0.0) << i;
}

TEST(Meters, BallisticsChangeTakesEffectWithinFourMilliseconds) {
    Meters m(0);
    m.feed(1.0, 100);
    m.fx.plug().getPrefs()->set(kPrefBallistics, 2); // VU: slow release
    m.feed(0.0, samples(0.004) + 1);
    m.feed(0.0, samples(0.3) - samples(0.004) - 1);
    EXPECT_GT(m.snap().values[kInLeft], 0.85) << "VU release, not Digital PPM's";
}

class NoSubnormals : public testing::TestWithParam<int> {};

TEST_P(NoSubnormals, SignalThenLongSilenceLeavesNoSubnormalState) {
    // Long enough for the slowest decay (VU: 0.9 per 0.3 s) to pass 2^-1022: about 34 min.
    const int ballistics = GetParam();
    Meters m(ballistics);
    m.fx.plug().setParameter(kMute, 1.0f); // the gain decays into the flush range too
    m.feed(0.9, samples(1.0));
    // Time for each row's release to carry 0.9 below 2^-1021 (307.4 decades), with margin.
    const double secondsFor[4] = {100.0, 480.0, 2100.0, 760.0};
    const double seconds = secondsFor[ballistics];
    const int block = 4096;
    std::vector<std::vector<double>> silence(kNumChannels, std::vector<double>(block, 0.0));
    std::vector<std::vector<double>> ones(kNumChannels, std::vector<double>(1, 1.0));
    long long total = static_cast<long long>(seconds * kRate);
    int checks = 0;
    for (long long done = 0; done < total; done += block) {
        m.fx.runDouble(silence);
        MeterSnapshot s{};
        (void)m.fx.plug().getMeterSnapshot(s); // every value is checked, fresh or not
        for (double v : s.values)
            ASSERT_FALSE(isSubnormal(v)) << "after " << done << " samples";
        ++checks;
    }
    MeterSnapshot s = m.snap();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(s.values[i], 0.0) << "envelope " << i;
    // The applied gain reached exact zero rather than a subnormal value.
    EXPECT_EQ(m.fx.runDouble(ones)[0][0], 0.0);
    EXPECT_GT(checks, 1000);
}

INSTANTIATE_TEST_SUITE_P(EveryBallistics, NoSubnormals, testing::Values(0, 1, 2, 3));

} // namespace
} // namespace kavet::test

namespace kavet::test {
namespace {

TEST(Meters, FlushFloorIsTheExactBoundary) {
    for (double k : {1.0, 0.5, 0.9999840, 0.2, 0.0631, 1e-3}) {
        double floor = flushFloor(k);
        EXPECT_GE(k * floor, 0x1p-1021) << k;
        EXPECT_LT(k * std::nextafter(floor, 0.0), 0x1p-1021) << k;
    }
    EXPECT_EQ(flushFloor(0.0), std::numeric_limits<double>::infinity());
}

TEST(Meters, TinyLevelsAreFlushedAtTheBoundary) {
    // Digital PPM follows a rise at once (attack 1): a sample at 2^-1021 survives, one just
    // below is flushed, and neither the envelope nor the RMS ever holds a subnormal.
    struct Case {
        double sample;
        double envelope;
    };
    const Case cases[] = {{0x1p-1021, 0x1p-1021},
                          {std::nextafter(0x1p-1021, 0.0), 0.0},
                          {1e-310, 0.0},
                          {-1e-310, 0.0},
                          {0x1p-1000, 0x1p-1000}};
    for (const Case& c : cases) {
        Meters m(0);
        m.feed(c.sample, 1);
        MeterSnapshot s = m.snap();
        EXPECT_EQ(s.values[kInLeft], c.envelope) << c.sample;
        EXPECT_EQ(s.values[8], c.envelope) << c.sample;
        EXPECT_EQ(s.values[4], 0.0) << "the square is far below the flush range " << c.sample;
        for (double v : s.values)
            EXPECT_FALSE(isSubnormal(v)) << c.sample;
    }
}

TEST(Meters, ReleaseIntoTheFlushRangeGivesExactZero) {
    Meters m(0);
    MeterCoefficients k = meterCoefficients(0, kRate);
    double start = k.fallFloor / k.release / k.release / k.release; // about 3 releases above
    m.feed(start, 1);
    double env = start;
    for (int i = 0; i < 8; ++i) {
        m.feed(0.0, 1);
        env = k.release * env < 0x1p-1021 ? 0.0 : k.release * env;
        ASSERT_EQ(m.snap().values[kInLeft], env) << i;
    }
    EXPECT_EQ(env, 0.0);
}

} // namespace
} // namespace kavet::test

namespace kavet::test {
namespace {

TEST(Meters, SampleCountDoesNotWrapAfterDaysWithoutAReader) {
    // Five billion samples (29 hours at 48 kHz) pass 2^32 without a snapshot.
    SharedMeters shared;
    MeterAccumulators start{}, now{};
    now.count = 5000000000ull;
    for (int c = 0; c < kMeterChannels; ++c)
        now.sum[c] = 0.25 * 5000000000.0;
    shared.publish(start, now);
    MeterSnapshot s{};
    ASSERT_TRUE(shared.snapshot(s));
    for (int c = 0; c < kMeterChannels; ++c)
        EXPECT_DOUBLE_EQ(s.values[4 + c], 0.5) << c;
}

TEST(Meters, AReadingDuringABlockSplitsItBetweenTwoWindows) {
    // The reader clears the sums while the audio thread is inside a block: the block's
    // part after the clear lands in the next window, and nothing is counted twice.
    SharedMeters shared;
    MeterAccumulators start{}, now{};
    start.count = 100;
    for (double& v : start.sum)
        v = 100.0;
    shared.publish(MeterAccumulators{}, start);
    MeterAccumulators blockStart;
    shared.load(blockStart);
    MeterSnapshot first{};
    ASSERT_TRUE(shared.snapshot(first)); // the reader, mid-block
    now = blockStart;
    now.count += 50;
    for (double& v : now.sum)
        v += 50.0;
    shared.publish(blockStart, now);
    MeterSnapshot second{};
    ASSERT_TRUE(shared.snapshot(second));
    EXPECT_DOUBLE_EQ(first.values[4], 1.0);
    EXPECT_DOUBLE_EQ(second.values[4], 1.0) << "50 samples of sum 50";
}

} // namespace
} // namespace kavet::test

namespace kavet::test {
namespace {

TEST(Meters, ATakenPeakNeverComesBackWhenAReadingLandsMidBlock) {
    // A window with peak `before` is published; the next block rises to 0.6 and ends at 0.5.
    // Whether the reader takes the window before, during or after that block decides what
    // the next reading shows.
    enum class Reading { BeforeTheBlock, MidBlock, None };
    struct Case {
        const char* name;
        double before;
        Reading reading;
        double peak;       // of the reading after the block
        double meanSquare; // its RMS squared (sums / count)
    };
    const Case cases[] = {
        // The taken 0.9 is not reported again: the block's last envelope stands for it.
        {"mid-block, earlier peak", 0.9, Reading::MidBlock, 0.5, 0.0625},
        // Nothing was hidden by a taken 0: the block's own peak is exact.
        {"mid-block, earlier silence", 0.0, Reading::MidBlock, 0.6, 0.0625},
        {"before the block", 0.9, Reading::BeforeTheBlock, 0.6, 0.0625},
        {"no reading", 0.9, Reading::None, 0.9, (100 * 0.25 + 50 * 0.0625) / 150},
    };
    for (const Case& c : cases) {
        SharedMeters shared;
        BlockWriter writer(shared);
        writer.begin();
        writer.frames(100, c.before, c.before, 0.25);
        writer.end();
        MeterSnapshot taken{};
        if (c.reading == Reading::BeforeTheBlock) {
            ASSERT_TRUE(shared.snapshot(taken));
        }
        writer.begin();
        writer.frames(20, 0.6, 0.55, 0.0625);
        if (c.reading == Reading::MidBlock) {
            ASSERT_TRUE(shared.snapshot(taken));
        }
        writer.frames(30, 0.6, 0.5, 0.0625);
        writer.end();
        if (c.reading != Reading::None) {
            EXPECT_EQ(taken.values[8], c.before) << c.name << ": the reading took the window";
        }
        MeterSnapshot next{};
        ASSERT_TRUE(shared.snapshot(next)) << c.name;
        for (int ch = 0; ch < kMeterChannels; ++ch) {
            EXPECT_EQ(next.values[8 + ch], c.peak) << c.name << ", channel " << ch;
            EXPECT_EQ(next.values[ch], 0.5) << c.name << ", envelope " << ch;
            EXPECT_DOUBLE_EQ(next.values[4 + ch], std::sqrt(c.meanSquare)) << c.name;
        }
        MeterSnapshot again{};
        EXPECT_FALSE(shared.snapshot(again)) << c.name << ": nothing new";
        EXPECT_EQ(again.values[8], 0.0) << c.name;
        EXPECT_EQ(again.values[0], 0.5) << c.name << ": the envelope stays";
    }
}

TEST(Meters, CoefficientTableHoldsEveryWordAtTheRate) {
    MeterCoefficientTable table(44100.0);
    for (double rate : {44100.0, 96000.0, 22050.0}) {
        table.fill(rate);
        for (int word : {0, 1, 2, 3, 6, -1}) {
            MeterCoefficients row = table.row(word), made = meterCoefficients(word, rate);
            EXPECT_EQ(row.attack, made.attack) << word << " at " << rate;
            EXPECT_EQ(row.release, made.release) << word << " at " << rate;
            EXPECT_EQ(row.riseFloor, made.riseFloor) << word << " at " << rate;
            EXPECT_EQ(row.fallFloor, made.fallFloor) << word << " at " << rate;
        }
    }
}

TEST(Meters, ReadingsWhileBlocksArePublishedAreWhole) {
    // The writer publishes blocks of a constant level (mean square 0.25) with a rising
    // envelope while a reader on another thread takes readings. Every reading is one
    // publication (RMS 0.5 but for the rounding of 1 / count; sums and count from different
    // publications would be off by a fraction of a block; peak equal to the envelope) and
    // the peaks of successive readings rise: a taken peak never returns. The writer starts once the
    // reader runs and goes on until the reader has taken a thousand readings (or a bound is
    // reached), so that the two overlap.
    constexpr int kMaxBlocks = 1 << 24;
    SharedMeters shared;
    std::atomic<bool> started{false}, done{false};
    std::atomic<int> readings{0};
    int torn = 0, peakReturned = 0;
    std::thread reader([&] {
        double lastPeak = 0.0;
        started.store(true, std::memory_order_release);
        for (bool last = false; !last;) {
            last = done.load(std::memory_order_acquire);
            MeterSnapshot s{};
            if (!shared.snapshot(s)) continue;
            readings.fetch_add(1, std::memory_order_relaxed);
            for (int ch = 0; ch < kMeterChannels; ++ch) {
                if (std::fabs(s.values[4 + ch] - 0.5) > 1e-12 || s.values[8 + ch] != s.values[ch])
                    ++torn;
            }
            if (!(s.values[8] > lastPeak)) ++peakReturned;
            lastPeak = s.values[8];
        }
    });
    while (!started.load(std::memory_order_acquire))
        std::this_thread::yield();
    BlockWriter writer(shared);
    for (int b = 1; b <= kMaxBlocks && readings.load(std::memory_order_relaxed) < 1000; ++b) {
        writer.begin();
        writer.frames(16, b * 0x1p-20, b * 0x1p-20, 0.25);
        writer.end();
    }
    done.store(true, std::memory_order_release);
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(peakReturned, 0);
    EXPECT_GT(readings.load(), 1);
}

} // namespace
} // namespace kavet::test

namespace kavet::test {
namespace {

TEST(Meters, AReadingBetweenAnyTwoStepsOfABlockTakesEverySampleOnce) {
    // Window A (100 frames, peak 0.9, squares 0.25) is published, then block B (50 frames
    // rising to 0.6 and ending at 0.5, squares 0.0625) runs in its steps: load, the frames,
    // open, write, close. The reader observes at one of the points between them and takes at
    // the same or a later one; a reading that does not stand there is made again once B is
    // published. Then the next reading: a taken peak never comes back, and every frame is
    // counted in exactly one of the two.
    enum At { BeforeLoad, MidBlock, AfterOpen, AfterWrite, AfterClose };
    struct Case {
        At observe, take;
        std::uint64_t firstCount; // 100: A alone; 150: A and B
        double nextPeak;
        std::uint64_t nextCount;
    };
    const Case cases[] = {
        {BeforeLoad, BeforeLoad, 100, 0.6, 50}, // B starts from a taken window: its own peak
        {BeforeLoad, MidBlock, 100, 0.5, 50},   // taken during B: B's last envelope stands in
        {MidBlock, MidBlock, 100, 0.5, 50},
        {BeforeLoad, AfterOpen, 150, 0.0, 0}, // B came between observing and taking
        {BeforeLoad, AfterWrite, 150, 0.0, 0},
        {BeforeLoad, AfterClose, 150, 0.0, 0},
        {MidBlock, AfterOpen, 150, 0.0, 0},
        {MidBlock, AfterWrite, 150, 0.0, 0},
        {MidBlock, AfterClose, 150, 0.0, 0},
        {AfterOpen, AfterOpen, 150, 0.0, 0}, // B is being written: the reader waits for it
        {AfterWrite, AfterWrite, 150, 0.0, 0},
        {AfterClose, AfterClose, 150, 0.0, 0},
    };
    for (const Case& c : cases) {
        const std::string name =
            "observe at " + std::to_string(c.observe) + ", take at " + std::to_string(c.take);
        SharedMeters shared;
        BlockWriter writer(shared);
        writer.begin();
        writer.frames(100, 0.9, 0.9, 0.25);
        writer.end();

        SharedMeters::Reading first{};
        bool observed = false, taken = false;
        auto readAt = [&](At at) {
            if (taken) return;
            if (!observed && (at == c.observe || at == AfterClose))
                observed = shared.observe(first);
            if (observed && (at == c.take || at == AfterClose))
                observed = taken = shared.take(first);
            if (!taken && at == AfterClose) taken = shared.observe(first) && shared.take(first);
        };
        readAt(BeforeLoad);
        writer.begin();
        writer.frames(20, 0.6, 0.55, 0.0625);
        readAt(MidBlock);
        writer.frames(30, 0.6, 0.5, 0.0625);
        writer.open();
        readAt(AfterOpen);
        writer.write();
        readAt(AfterWrite);
        writer.close();
        readAt(AfterClose);
        ASSERT_TRUE(taken) << name;

        SharedMeters::Reading next{};
        ASSERT_TRUE(shared.observe(next) && shared.take(next)) << name;
        EXPECT_EQ(first.count, c.firstCount) << name;
        EXPECT_EQ(next.count, c.nextCount) << name;
        for (int ch = 0; ch < kMeterChannels; ++ch) {
            EXPECT_EQ(first.peak[ch], 0.9) << name;
            EXPECT_EQ(next.peak[ch], c.nextPeak) << name << ", channel " << ch;
            EXPECT_EQ(next.envelope[ch], 0.5) << name;
            EXPECT_EQ(first.sum[ch], c.firstCount == 100 ? 25.0 : 28.125) << name;
            if (c.nextCount != 0) {
                EXPECT_EQ(next.sum[ch], 3.125) << name;
            }
        }
    }
}

} // namespace
} // namespace kavet::test
