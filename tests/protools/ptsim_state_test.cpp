// Saving and restoring an instance through the host's chunks: the `vlmr` chunk carries the
// effect's own state unaltered, and a fresh instance given the saved chunks sounds the same.
#include "ptsim_support.h"

#include "hosts/common/vst_module.h"
#include "hosts/common/vst_plugin.h"

#include <cstring>
#include <gtest/gtest.h>

namespace kavet::test {
namespace {

using ptsim::PtInstance;
using ptsim::SavedChunk;

class StateTest : public testing::TestWithParam<Build> {
protected:
    StateTest() : open(GetParam()), instance(*open.module, 0, 44100) {}
    void moveControls(PtInstance& target) {
        ASSERT_EQ(target.setControl(1, 900000000), 0);
        ASSERT_EQ(target.setControl(2, -400000000), 0);
        ASSERT_EQ(target.setControl(4, 0), 0);
        ASSERT_EQ(target.setControl(3, 1), 0);
        if (GetParam().controls == 6) {
            ASSERT_EQ(target.setControl(6, 1200000000), 0);
        }
    }
    std::vector<std::vector<float>> renderSignal(PtInstance& target) {
        auto in = testSignal(GetParam().channels, 8192, 99);
        std::vector<std::vector<float>> out(in.size(), std::vector<float>(8192));
        target.renderChannels(in, out, 256);
        return out;
    }
    OpenModule open;
    PtInstance instance;
};

TEST_P(StateTest, RegistersTheEffectChunkBesideTheFrameworkChunks) {
    const auto infos = instance.chunkInfos();
    std::vector<std::string> ids;
    for (const PtChunkInfo& info : infos) {
        ids.push_back(ptsim::fourCC(info.id));
        if (info.id == kVlmr) {
            EXPECT_STREQ(info.name, "Plugin chunk");
            EXPECT_EQ(info.dataBytes, static_cast<std::uint32_t>(GetParam().chunkBytes));
        }
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"midi", "vlmr", "ctls"}));
}

TEST_P(StateTest, SavedVlmrChunkIsTheEffectChunkBehindA56ByteHeader) {
    const Build& build = GetParam();
    moveControls(instance);
    const SavedChunk vlmr = instance.saveChunk(kVlmr);
    ASSERT_EQ(vlmr.record.size(), static_cast<std::size_t>(56 + build.chunkBytes));
    std::int32_t size;
    std::memcpy(&size, vlmr.record.data(), 4);
    EXPECT_EQ(size, build.channels == 2 ? 116 : 112);
    const auto* header = reinterpret_cast<const ptfw::SFicPlugInChunk*>(vlmr.record.data());
    EXPECT_EQ(header->fChunkID, kVlmr);
    EXPECT_EQ(header->fManufacturerID, ptfw::FourCC("VLMR"));
    EXPECT_EQ(header->fTypeID, build.typeCode);

    // The data is the effect's own chunk: the VST effect set to the same parameters writes
    // the same bytes.
    auto module = std::make_shared<const host::VstModule>(build.vstModule);
    host::VstPlugin reference(module);
    const std::vector<float> params = paramsOf(vlmr, build.controls);
    for (int i = 0; i < build.controls; ++i)
        reference.setParameter(i, params[static_cast<std::size_t>(i)]);
    void* data = nullptr;
    const auto bytes = reference.dispatch(effGetChunk, 0, 0, &data);
    ASSERT_EQ(bytes, build.chunkBytes);
    EXPECT_EQ(dataOf(vlmr), std::vector<unsigned char>(static_cast<unsigned char*>(data),
                                                       static_cast<unsigned char*>(data) + bytes));
    EXPECT_EQ(params[2], 1.0f); // and it did follow the controls
}

TEST_P(StateTest, RestorePassesTheEffectTotalSizeMinus56) {
    const Build& build = GetParam();
    SavedChunk moved;
    {
        PtInstance other(*open.module, 0, 44100);
        moveControls(other);
        moved = other.saveChunk(kVlmr);
    }
    const SavedChunk original = instance.saveChunk(kVlmr);
    // One byte too few for the effect: it refuses and keeps its state; the host hears 0.
    SavedChunk shortened = moved;
    shortened.record.pop_back();
    const std::int32_t shortSize = 56 + build.chunkBytes - 1;
    std::memcpy(shortened.record.data(), &shortSize, 4);
    EXPECT_EQ(instance.restoreChunk(shortened), 0);
    EXPECT_EQ(instance.saveChunk(kVlmr).record, original.record);
    // The whole record: the effect takes it.
    EXPECT_EQ(instance.restoreChunk(moved), 0);
    EXPECT_EQ(dataOf(instance.saveChunk(kVlmr)), dataOf(moved));
}

TEST_P(StateTest, RecordsTooShortForTheirHeaderAreRefused) {
    const SavedChunk original = instance.saveChunk(kVlmr);
    SavedChunk broken = original;
    const std::int32_t tiny = 40;
    std::memcpy(broken.record.data(), &tiny, 4);
    EXPECT_EQ(instance.restoreChunk(broken), ptfw::kErrChunkTooSmall);
    EXPECT_EQ(instance.restoreRecord(kVlmr, original.record.data(), 30), ptfw::kErrChunkTooSmall);
    EXPECT_EQ(instance.saveChunk(kVlmr).record, original.record);
}

TEST_P(StateTest, OtherChunkIdsNeverReachTheEffect) {
    const SavedChunk original = instance.saveChunk(kVlmr);
    SavedChunk foreign = original;
    auto* header = reinterpret_cast<ptfw::SFicPlugInChunk*>(foreign.record.data());
    header->fChunkID = ptfw::FourCC("abcd");
    EXPECT_EQ(instance.restoreRecord(ptfw::FourCC("abcd"), foreign.record.data(),
                                     static_cast<std::uint32_t>(foreign.record.size())),
              ptfw::kErrUnknownChunk);
    // The effect's bytes under the MIDI chunk's ID: the framework refuses them.
    header->fChunkID = kMidi;
    EXPECT_EQ(instance.restoreRecord(kMidi, foreign.record.data(),
                                     static_cast<std::uint32_t>(foreign.record.size())),
              ptfw::kErrChunkMismatch);
    EXPECT_EQ(instance.restoreChunk(instance.saveChunk(kMidi)), 0);
    EXPECT_EQ(instance.saveChunk(kVlmr).record, original.record);
}

TEST_P(StateTest, RestoringIntoAFreshInstanceGivesIdenticalAudio) {
    moveControls(instance);
    const std::vector<SavedChunk> saved = instance.saveAllChunks();
    const auto expected = renderSignal(instance);
    PtInstance untouched(*open.module, 0, 44100);
    ASSERT_NE(renderSignal(untouched), expected); // the moves matter

    struct Variant {
        const char* name;
        std::vector<std::uint32_t> ids;
    };
    const Variant variants[] = {{"all chunks", {kMidi, kVlmr, kControls}},
                                {"vlmr only", {kVlmr}},
                                {"controls only", {kControls}},
                                {"controls, then vlmr", {kControls, kVlmr}}};
    for (const Variant& variant : variants) {
        PtInstance fresh(*open.module, 0, 44100);
        for (std::uint32_t id : variant.ids)
            for (const SavedChunk& chunk : saved)
                if (chunk.id == id) {
                    ASSERT_EQ(fresh.restoreChunk(chunk), 0) << variant.name;
                }
        EXPECT_EQ(renderSignal(fresh), expected) << variant.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, StateTest, testing::Values(kStereoBuild, kMonoBuild), buildName);

} // namespace
} // namespace kavet::test
