// The kernels against the signal path written from its definition (tests/support), bit
// for bit: outputs, gains, clock and meters, across block sizes, refreshes that change
// targets and ballistics, levels at the flush boundaries, silence and NaN.
#include "reference_kernel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace kavet::test {
namespace {

MeterCoefficients fastRow() {
    // Quick decay: envelopes fall to the flush range and back to 0 within a block.
    MeterCoefficients c;
    c.attack = 0.3;
    c.release = 1e-3;
    c.riseFloor = flushFloor(c.attack);
    c.fallFloor = flushFloor(c.release);
    return c;
}

// Refresh n sets row n of a fixed script, the same for the kernel and the reference.
struct ScriptedRefresh {
    int calls = 0;
    void operator()(KernelState& st) {
        const double targets[][2] = {{0.5, -0.75}, {-0.0, 0.0},   {1.0, 1.0},
                                     {0.0, -0.0},  {2.5, 1e-300}, {-1.0, 0.25}};
        const MeterCoefficients rows[] = {meterCoefficients(0, 48000.0), fastRow(),
                                          meterCoefficients(2, 44100.0),
                                          meterCoefficients(3, 96000.0), fastRow()};
        const int n = calls++;
        st.target[0] = targets[n % 6][0];
        st.target[1] = targets[n % 6][1];
        st.coefficients = rows[n % 5];
        if (n % 7 == 3) st.msPerSample = 1000.0 / 96000.0;
    }
};

// Deterministic samples: stretches of silence, of levels at the flush boundaries of the
// fast row, and of signal with the odd NaN and full-scale step.
class Signal {
public:
    double next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        const std::uint32_t r = static_cast<std::uint32_t>(state_ >> 33);
        if (r % 211 == 0) stretch_ = (stretch_ + 1) % 3;
        const double unit = static_cast<double>(r % 65536) / 32768.0 - 1.0; // [-1, 1)
        const MeterCoefficients k = fastRow();
        const double edges[] = {0x1p-1021, k.riseFloor, k.fallFloor, 0x1p-1021 / 0.3, 1e-310};
        switch (stretch_) {
        case 0:
            return r % 5 == 0 ? unit : 0.0;
        case 1: {
            const double e = edges[r % 5] * (unit < 0 ? -1.0 : 1.0);
            const int step = static_cast<int>(r / 5 % 3);
            return step == 0 ? e : std::nextafter(e, step == 1 ? 0.0 : 2.0 * e);
        }
        default:
            if (r % 997 == 0) return std::numeric_limits<double>::quiet_NaN();
            return r % 61 == 0 ? 8.0 * unit : unit;
        }
    }

private:
    std::uint64_t state_ = 0x5eed;
    int stretch_ = 2;
};

template <class T> bool sameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

enum class Layout { Stereo, Mono };

struct BlockPattern {
    const char* name;
    std::vector<int> sizes; // cycled
    double rate;            // Hz, until the script's refresh 3 switches to 96 kHz
};

// Runs 24000 frames in blocks of the pattern's sizes through the kernel and the reference and
// reports the first frame or state field that differs.
template <Layout layout, Write mode, class Sample>
void matchesTheDefinition(const BlockPattern& p) {
    KernelState st{};
    st.gain[0] = 1.0;
    st.gain[1] = -0.0;
    st.target[0] = 0.5;
    st.target[1] = -0.0;
    st.msPerSample = 1000.0 / p.rate;
    st.coefficients = fastRow();
    ReferenceKernel ref(st);
    ScriptedRefresh kernelRefresh, referenceRefresh;
    Signal signal;
    int frames = 0;
    for (int block = 0; frames < 24000; ++block) {
        const int n = p.sizes[static_cast<std::size_t>(block) % p.sizes.size()];
        frames += n;
        std::vector<Sample> in[2], outK[2], outR[2];
        for (int c = 0; c < 2; ++c) {
            for (int i = 0; i < n; ++i)
                in[c].push_back(static_cast<Sample>(signal.next()));
            outK[c].assign(n, static_cast<Sample>(0.125)); // what the accumulating form adds to
            outR[c] = outK[c];
        }
        Sample* ins[2] = {in[0].data(), in[1].data()};
        Sample* outs[2] = {outK[0].data(), outK[1].data()};
        if constexpr (layout == Layout::Stereo) {
            stereoKernel<mode>(ins, outs, n, st, kernelRefresh);
            ref.template stereo<mode>(ins[0], ins[1], outR[0].data(), outR[1].data(), n,
                                      referenceRefresh);
        } else {
            monoKernel<mode>(ins, outs, n, st, kernelRefresh);
            ref.template mono<mode>(ins[0], outR[0].data(), n, referenceRefresh);
        }
        for (int c = 0; c < (layout == Layout::Stereo ? 2 : 1); ++c) {
            for (int i = 0; i < n; ++i) {
                ASSERT_TRUE(sameBits(outK[c][i], outR[c][i]))
                    << "block " << block << ", channel " << c << ", frame " << i << ": "
                    << outK[c][i] << " against " << outR[c][i];
            }
        }
        ASSERT_TRUE(sameBits(st.gain, ref.gain)) << "gains after block " << block;
        ASSERT_TRUE(sameBits(st.elapsedMs, ref.elapsedMs)) << block;
        ASSERT_TRUE(sameBits(st.lastRefreshMs, ref.lastRefreshMs)) << block;
        const int channels[] = {kInLeft, kOutLeft, kInRight, kOutRight};
        for (int c : channels) {
            if (layout == Layout::Mono && (c == kInRight || c == kOutRight)) continue;
            ASSERT_TRUE(sameBits(st.meters.envelope[c], ref.meters[c].envelope))
                << "envelope " << c << " after block " << block << ": " << st.meters.envelope[c]
                << " against " << ref.meters[c].envelope;
            ASSERT_TRUE(sameBits(st.meters.peak[c], ref.meters[c].peak)) << c << ", " << block;
            ASSERT_TRUE(sameBits(st.meters.sum[c], ref.meters[c].sum)) << c << ", " << block;
        }
    }
    EXPECT_GT(kernelRefresh.calls, 20);
    EXPECT_EQ(kernelRefresh.calls, referenceRefresh.calls);
}

// At 32 kHz the sample period (1/32 ms) is exact: every refresh falls on a sample (4 ms = 128).
const BlockPattern kPatterns[] = {
    {"single frames", {1}, 48000},
    {"mixed", {1, 7, 64, 3, 191, 192, 193, 33}, 48000},
    {"large", {512, 4096, 511}, 48000},
    {"mixed, 32 kHz", {1, 7, 64, 3, 191, 192, 193, 33}, 32000},
};

TEST(Kernel, StereoMatchesTheDefinitionBitForBit) {
    for (const BlockPattern& p : kPatterns) {
        SCOPED_TRACE(p.name);
        matchesTheDefinition<Layout::Stereo, Write::Replace, float>(p);
        matchesTheDefinition<Layout::Stereo, Write::Replace, double>(p);
        matchesTheDefinition<Layout::Stereo, Write::Add, float>(p);
        matchesTheDefinition<Layout::Stereo, Write::Add, double>(p);
    }
}

TEST(Kernel, MonoMatchesTheDefinitionBitForBit) {
    for (const BlockPattern& p : kPatterns) {
        SCOPED_TRACE(p.name);
        matchesTheDefinition<Layout::Mono, Write::Replace, float>(p);
        matchesTheDefinition<Layout::Mono, Write::Replace, double>(p);
        matchesTheDefinition<Layout::Mono, Write::Add, float>(p);
        matchesTheDefinition<Layout::Mono, Write::Add, double>(p);
    }
}

} // namespace
} // namespace kavet::test
