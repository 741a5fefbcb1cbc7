// Each host-format module as the host loads it: opening and closing, the group's
// description and its one type, the resource file and the byte-order callback.
#include "ptsim_support.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace kavet::test {
namespace {

using ptsim::PtModule;
namespace fs = std::filesystem;

class ModuleTest : public testing::TestWithParam<Build> {};

int activeRegistrations(const PtModule& module) {
    int n = 0;
    for (const PtsimRegistration& r : module.resourceRegistrations())
        n += r.active ? 1 : 0;
    return n;
}

TEST_P(ModuleTest, OpensOnlyForHostVersion73) {
    PtModule module(GetParam().ptModule);
    EXPECT_EQ(module.open(72), -1);
    EXPECT_EQ(module.open(74), -1);
    EXPECT_FALSE(module.hasGroup());
    EXPECT_TRUE(module.resourceRegistrations().empty());
    EXPECT_EQ(module.open(73), 0);
    EXPECT_TRUE(module.hasGroup());
    EXPECT_EQ(module.close(), 0);
}

TEST_P(ModuleTest, SecondOpenCreatesNoSecondGroupAndTheLastCloseDestroysIt) {
    PtModule module(GetParam().ptModule);
    ASSERT_EQ(module.open(73), 0);
    ASSERT_EQ(module.open(73), 0);
    EXPECT_EQ(module.resourceRegistrations().size(), 1u); // one first open, one group
    EXPECT_EQ(module.close(), 0);
    EXPECT_TRUE(module.hasGroup());
    EXPECT_EQ(activeRegistrations(module), 1);
    EXPECT_EQ(module.close(), 0);
    EXPECT_FALSE(module.hasGroup());
    EXPECT_EQ(activeRegistrations(module), 0); // the resource file is withdrawn
}

TEST_P(ModuleTest, CloseWithoutOpenDestroysNothingAndLaterOpensStillWork) {
    PtModule module(GetParam().ptModule);
    EXPECT_EQ(module.close(), 0);
    EXPECT_FALSE(module.hasGroup());
    ASSERT_EQ(module.open(73), 0);
    EXPECT_TRUE(module.hasGroup());
    EXPECT_EQ(module.close(), 0);
    EXPECT_FALSE(module.hasGroup());
}

TEST_P(ModuleTest, OffersItsOpenAndCloseProceduresToTheHostLibrary) {
    PtModule module(GetParam().ptModule);
    ASSERT_TRUE(module.offeredOpenClose());
    EXPECT_FALSE(module.hasGroup()); // the host decides when to open
    EXPECT_EQ(module.callDaeOpen(), 0);
    EXPECT_TRUE(module.hasGroup());
    EXPECT_EQ(module.callDaeClose(), 0);
    EXPECT_FALSE(module.hasGroup());
}

TEST_P(ModuleTest, DescribesTheGroupAndOnlyItsOwnType) {
    const Build& build = GetParam();
    OpenModule open(build);
    const PtGroupInfo group = open.module->groupInfo();
    EXPECT_STREQ(group.manufacturerNames, "Velmorant Ltd.\nVLMR\n");
    EXPECT_EQ(group.manufacturerCode, ptfw::FourCC("VLMR"));
    EXPECT_STREQ(group.productNames, build.channels == 2
                                         ? "Kav-et Stereo Plug-In\nKav-et Stereo\nKavet S\nKVS"
                                         : "Kav-et Mono Plug-In\nKav-et Mono\nKavet M\nKVM");
    EXPECT_EQ(group.productVersion, 1);
    ASSERT_EQ(group.capabilityCount, 1);
    EXPECT_EQ(group.capabilities[0], 14);
    EXPECT_EQ(group.midiCapable, 1);
    ASSERT_EQ(group.typeCount, 1);

    const PtTypeInfo type = open.module->typeInfo(0);
    EXPECT_EQ(type.kind, kPtTypeKindRTAS);
    EXPECT_EQ(ptsim::fourCC(type.typeCode), ptsim::fourCC(build.typeCode));
    EXPECT_EQ(type.productCode, build.typeCode);
    EXPECT_EQ(type.category, 0x2000u);
    EXPECT_STREQ(type.typeNames, build.channels == 2 ? "Velmorant Kav-et Stereo\nKvtS"
                                                     : "Velmorant Kav-et Mono\nKvtM");
    EXPECT_EQ(type.generalOptions, 6);
    ASSERT_EQ(type.featureSelectorCount, 2);
    EXPECT_EQ(type.featureSelectors[0], 8);
    EXPECT_EQ(type.featureSelectors[1], 48);
    EXPECT_EQ(type.inputStem, build.stem);
    EXPECT_EQ(type.outputStem, build.stem);
    EXPECT_EQ(type.sideChainStem, 0);
    EXPECT_STREQ(type.pageTableName, build.channels == 2 ? "StereoPageTables" : "MonoPageTables");
    EXPECT_THROW(open.module->typeInfo(1), host::HostError);
}

TEST_P(ModuleTest, RegistersTheResourceFileBesideTheModule) {
    OpenModule open(GetParam());
    const auto registrations = open.module->resourceRegistrations();
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(std::string(registrations[0].path),
              fs::canonical(GetParam().ptModule).string() + ".rsr");
}

TEST_P(ModuleTest, ResourcePathOfADpmFileEndsInDpmRsr) {
    const fs::path dir = fs::temp_directory_path() / ("kavet-dpm-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path copy = dir / "VelmorantKavet.dpm";
    fs::copy_file(GetParam().ptModule, copy, fs::copy_options::overwrite_existing);
    {
        PtModule module(copy.string());
        ASSERT_EQ(module.open(73), 0);
        const auto registrations = module.resourceRegistrations();
        ASSERT_EQ(registrations.size(), 1u);
        EXPECT_EQ(std::string(registrations[0].path), fs::canonical(copy).string() + ".rsr");
        module.close();
    }
    fs::remove_all(dir);
}

TEST_P(ModuleTest, ByteOrderCallbackReversesTheThngAndCfrgFields) {
    OpenModule open(GetParam());
    const auto registrations = open.module->resourceRegistrations();
    ASSERT_FALSE(registrations.empty());
    PtByteOrderCallback swap = registrations[0].swapper;
    ASSERT_NE(swap, nullptr);

    std::array<unsigned char, 48> bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i);
    auto thng = bytes;
    EXPECT_EQ(swap(ptfw::FourCC("thng"), thng.data()), 1);
    const std::array<unsigned char, 48> expectThng = {
        3,  2,  1,  0,  7,  6,  5,  4,  11, 10, 9,  8,  15, 14, 13, 12, // four 32-bit fields
        19, 18, 17, 16,                                                 // the fifth
        23, 22, 21, 20, 25, 24, 29, 28, 27, 26, 31, 30,                 // records at 20, 26
        35, 34, 33, 32, 37, 36, 41, 40, 39, 38, 43, 42,                 // records at 32, 38
        44, 45, 46, 47};                                                // untouched
    EXPECT_EQ(thng, expectThng);

    auto cfrg = bytes;
    EXPECT_EQ(swap(ptfw::FourCC("cfrg"), cfrg.data()), 1);
    auto expectCfrg = bytes;
    std::swap(expectCfrg[32], expectCfrg[35]);
    std::swap(expectCfrg[33], expectCfrg[34]);
    EXPECT_EQ(cfrg, expectCfrg);

    auto other = bytes;
    EXPECT_EQ(swap(ptfw::FourCC("STR "), other.data()), 0);
    EXPECT_EQ(swap(ptfw::FourCC("THNG"), other.data()), 0);
    EXPECT_EQ(other, bytes);
}

INSTANTIATE_TEST_SUITE_P(Builds, ModuleTest, testing::Values(kStereoBuild, kMonoBuild), buildName);

} // namespace
} // namespace kavet::test
