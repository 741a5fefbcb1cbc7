// The silence flags (VST 3) or constant mask (CLAP) of an effect's output: a channel is marked
// exactly when every sample of the block is zero. Blocks of silence with one sample of 0.5 on
// one channel, at each place a scan could miss it (the middle, either end and next to it, the
// last bytes past a whole step), or none.
#pragma once

#include "channel_buffers.h"

#include "core/config.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kavet::test {

struct ImpulseCase {
    int frames;
    int at; // the sample of the impulse; -1: none
};

inline constexpr ImpulseCase kImpulseCases[] = {{512, 256}, {512, 0}, {512, 1}, {512, 510},
                                                {512, 511}, {37, 36}, {37, 35}, {37, 33},
                                                {16, 8},    {3, 1},   {1, -1},  {512, -1}};

// The input of one case on every channel of the configuration, and an output of 7s.
template <class Sample> ChannelBuffers<Sample> impulseBlock(const ImpulseCase& c, int channel) {
    ChannelBuffers<Sample> b(kNumChannels, kNumChannels, c.frames, Sample(0), Sample(7));
    if (c.at >= 0) b.in[channel][c.at] = Sample(0.5);
    return b;
}

// Every case with its impulse on every channel: `marked(c, channel)` answers the channels the
// effect marked silent for that block.
template <class Marked> void expectSilentChannelsMarked(bool wide, Marked marked) {
    const std::uint64_t all = (std::uint64_t{1} << kNumChannels) - 1;
    for (const ImpulseCase& c : kImpulseCases) {
        for (int channel = 0; channel < kNumChannels; ++channel) {
            SCOPED_TRACE(std::to_string(c.frames) + " frames, impulse at " + std::to_string(c.at) +
                         ", channel " + std::to_string(channel) + (wide ? ", double" : ", float"));
            EXPECT_EQ(marked(c, channel), c.at < 0 ? all : all & ~(std::uint64_t{1} << channel));
        }
    }
}

} // namespace kavet::test
