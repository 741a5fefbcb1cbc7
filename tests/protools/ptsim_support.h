// Shared pieces of the simulated-host tests: the module of each build with what it must
// offer, and readers for the effect's state inside a `vlmr` record.
#pragma once

#include "hosts/common/host_error.h"
#include "hosts/ptsim/pt_instance.h"
#include "hosts/ptsim/pt_module.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kavet::test {

struct Build {
    const char* name;
    const char* ptModule;
    const char* vstModule;
    int channels;
    int controls;
    std::uint32_t typeCode;
    std::int32_t stem;
    int chunkBytes; // the effect's own chunk
};

const Build kStereoBuild = {
    "stereo", KAVET_PT_STEREO_MODULE, KAVET_VST_STEREO_MODULE, 2, 6, ptfw::FourCC("kvt1"), 1, 60};
const Build kMonoBuild = {
    "mono", KAVET_PT_MONO_MODULE, KAVET_VST_MONO_MODULE, 1, 5, ptfw::FourCC("kvu1"), 0, 56};

inline std::string buildName(const testing::TestParamInfo<Build>& info) {
    return info.param.name;
}

// A module opened by the host with version 73; closed and unloaded at the end.
struct OpenModule {
    explicit OpenModule(const Build& build);
    ~OpenModule();
    std::unique_ptr<ptsim::PtModule> module;
};

constexpr std::uint32_t kVlmr = ptfw::FourCC("vlmr");
constexpr std::uint32_t kControls = ptfw::FourCC("ctls");
constexpr std::uint32_t kMidi = ptfw::FourCC("midi");

// The effect's parameter words (normalised values) in a saved `vlmr` record.
std::vector<float> paramsOf(const ptsim::SavedChunk& vlmr, int count);
// The data bytes after the 56-byte header.
std::vector<unsigned char> dataOf(const ptsim::SavedChunk& chunk);

// Channels of `frames` samples: a different, repeatable signal per channel.
std::vector<std::vector<float>> testSignal(int channels, int frames, std::uint32_t seed);

} // namespace kavet::test
