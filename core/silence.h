// Whether a block of samples is exact silence, for the host formats' silence flags (VST 3's
// silenceFlags, CLAP's constant_mask). [audio thread]: no allocation, no branch per sample.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace kavet {

// Whether all `frames` samples are zero (either sign); `frames` > 0. A signal is rarely 0 at
// both ends of a block, so most blocks are told at once; a silent one is read whole, 64 bytes
// a step with no branch per sample (GCC's and Clang's vector types: plain SSE2 on x86), the
// sign bits masked at the end.
template <class Sample> bool isSilent(const Sample* samples, std::int32_t frames) {
    static_assert(std::is_same_v<Sample, float> || std::is_same_v<Sample, double>);
    if (samples[0] != Sample(0) || samples[frames - 1] != Sample(0)) return false;
    using Lanes = std::uint64_t __attribute__((vector_size(16)));
    const auto* bytes = reinterpret_cast<const unsigned char*>(samples);
    const std::size_t size = sizeof(Sample) * static_cast<std::size_t>(frames);
    Lanes any[4] = {};
    std::size_t at = 0;
    for (; at + sizeof any <= size; at += sizeof any) {
        Lanes step[4];
        std::memcpy(step, bytes + at, sizeof step);
        for (int v = 0; v < 4; ++v)
            any[v] |= step[v];
    }
    std::uint64_t bits = 0;
    for (const Lanes& v : any)
        bits |= v[0] | v[1];
    for (; at < size; at += sizeof(Sample)) {
        std::conditional_t<sizeof(Sample) == 8, std::uint64_t, std::uint32_t> word;
        std::memcpy(&word, bytes + at, sizeof word);
        bits |= word;
    }
    constexpr std::uint64_t kMagnitudes =
        sizeof(Sample) == 8 ? 0x7FFFFFFFFFFFFFFFull : 0x7FFFFFFF7FFFFFFFull;
    return (bits & kMagnitudes) == 0;
}

// Bit c set for each of the `channels` channels (at most 64) whose block is exact silence.
template <class Sample>
std::uint64_t silentChannels(Sample* const* channels, int count, std::int32_t frames) {
    std::uint64_t flags = 0;
    for (int c = 0; c < count; ++c)
        if (isSilent(channels[c], frames)) flags |= std::uint64_t{1} << c;
    return flags;
}

} // namespace kavet
