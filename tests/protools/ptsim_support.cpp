#include <gtest/gtest.h>

#include "ptsim_support.h"

#include <cstring>

namespace kavet::test {

OpenModule::OpenModule(const Build& build)
    : module(std::make_unique<ptsim::PtModule>(build.ptModule)) {
    EXPECT_EQ(module->open(ptsim::kHostVersion), 0);
}

OpenModule::~OpenModule() {
    module->close();
}

std::vector<float> paramsOf(const ptsim::SavedChunk& vlmr, int count) {
    std::vector<float> params(static_cast<std::size_t>(count));
    if (vlmr.record.size() >= 56 + 4u * params.size())
        std::memcpy(params.data(), vlmr.record.data() + 56, 4 * params.size());
    return params;
}

std::vector<unsigned char> dataOf(const ptsim::SavedChunk& chunk) {
    if (chunk.record.size() < 56) return {};
    return {chunk.record.begin() + 56, chunk.record.end()};
}

std::vector<std::vector<float>> testSignal(int channels, int frames, std::uint32_t seed) {
    std::vector<std::vector<float>> out(static_cast<std::size_t>(channels));
    std::uint32_t state = seed;
    for (auto& channel : out) {
        channel.resize(static_cast<std::size_t>(frames));
        for (float& s : channel) {
            state = state * 1664525u + 1013904223u;
            s = static_cast<float>(static_cast<std::int32_t>(state)) / 2147483648.0f * 0.9f;
        }
    }
    return out;
}

} // namespace kavet::test
