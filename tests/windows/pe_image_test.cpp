// Every cross-built Windows module as the Windows loader sees it, read from its file: the
// machine of its build, the system DLLs alone among its imports (no MinGW run-time DLL to
// install beside it), exactly the exports of its format (the VST 3 module: the factory's
// entry alone, undecorated in the 32-bit build too; the CLAP module: its entry structure
// clap_entry alone), and the editor's bitmaps from the
// resource script, byte for byte those of resources/bitmaps/.
#include "pe_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace kavet::test {
namespace {

constexpr std::uint16_t kI386 = 0x14c;
constexpr std::uint16_t kAmd64 = 0x8664;
constexpr std::uint16_t kPe32 = 0x10b;
constexpr std::uint16_t kPe32Plus = 0x20b;
constexpr std::uint16_t kDllCharacteristic = 0x2000;
constexpr std::uint32_t kBitmapType = 2; // RT_BITMAP
constexpr std::size_t kBmpFileHeaderBytes = 14;

enum class Format { Vst, Vst3, Clap, HostFormat };

struct ModuleCase {
    const char* name;
    const char* path;
    std::uint16_t machine;
    std::uint16_t magic;
    Format format;
};

void PrintTo(const ModuleCase& c, std::ostream* out) {
    *out << c.name;
}

const std::vector<ModuleCase> kModules = {
#ifdef KAVET_WIN32_VST_MONO
    {"Windows32MonoVst", KAVET_WIN32_VST_MONO, kI386, kPe32, Format::Vst},
    {"Windows32StereoVst", KAVET_WIN32_VST_STEREO, kI386, kPe32, Format::Vst},
    {"Windows32MonoHostFormat", KAVET_WIN32_PT_MONO, kI386, kPe32, Format::HostFormat},
    {"Windows32StereoHostFormat", KAVET_WIN32_PT_STEREO, kI386, kPe32, Format::HostFormat},
#endif
#ifdef KAVET_WIN32_VST3
    {"Windows32Vst3", KAVET_WIN32_VST3, kI386, kPe32, Format::Vst3},
#endif
#ifdef KAVET_WIN32_CLAP
    {"Windows32Clap", KAVET_WIN32_CLAP, kI386, kPe32, Format::Clap},
#endif
#ifdef KAVET_WIN64_VST_MONO
    {"Windows64MonoVst", KAVET_WIN64_VST_MONO, kAmd64, kPe32Plus, Format::Vst},
    {"Windows64StereoVst", KAVET_WIN64_VST_STEREO, kAmd64, kPe32Plus, Format::Vst},
    {"Windows64MonoHostFormat", KAVET_WIN64_PT_MONO, kAmd64, kPe32Plus, Format::HostFormat},
    {"Windows64StereoHostFormat", KAVET_WIN64_PT_STEREO, kAmd64, kPe32Plus, Format::HostFormat},
#endif
#ifdef KAVET_WIN64_VST3
    {"Windows64Vst3", KAVET_WIN64_VST3, kAmd64, kPe32Plus, Format::Vst3},
#endif
#ifdef KAVET_WIN64_CLAP
    {"Windows64Clap", KAVET_WIN64_CLAP, kAmd64, kPe32Plus, Format::Clap},
#endif
};

// The DLLs that every Windows installation has (lower case).
const std::set<std::string> kSystemDlls = {
    "kernel32.dll", "user32.dll",   "gdi32.dll",  "advapi32.dll", "ole32.dll",
    "oleaut32.dll", "shell32.dll",  "msvcrt.dll", "msimg32.dll",  "comdlg32.dll",
    "shlwapi.dll",  "comctl32.dll", "winmm.dll",  "version.dll",
};

std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

class WindowsModule : public ::testing::TestWithParam<ModuleCase> {
protected:
    void SetUp() override {
        const std::vector<unsigned char> bytes = readBytes(GetParam().path);
        ASSERT_FALSE(bytes.empty()) << "no module " << GetParam().path;
        std::string error;
        image = readPeImage(bytes, error);
        ASSERT_TRUE(image) << GetParam().path << ": " << error;
    }
    std::optional<PeImage> image;
};

TEST_P(WindowsModule, IsADllForTheMachineOfItsBuild) {
    EXPECT_EQ(image->machine, GetParam().machine);
    EXPECT_EQ(image->magic, GetParam().magic);
    EXPECT_NE(image->characteristics & kDllCharacteristic, 0);
}

TEST_P(WindowsModule, ImportsSystemDllsOnly) {
    std::set<std::string> imported;
    for (const std::string& dll : image->imports)
        imported.insert(lower(dll));
    EXPECT_TRUE(imported.count("kernel32.dll")) << "every module imports from KERNEL32";
    for (const std::string& dll : imported)
        EXPECT_TRUE(kSystemDlls.count(dll)) << dll << " is not a system DLL";
}

TEST_P(WindowsModule, ExportsExactlyTheEntriesOfItsFormat) {
    std::vector<std::string> exports = image->exports;
    std::sort(exports.begin(), exports.end());
    const std::map<Format, std::vector<std::string>> entries = {
        {Format::Vst, {"VSTPluginMain", "main"}},
        {Format::Vst3, {"GetPluginFactory"}},
        {Format::Clap, {"clap_entry"}},
        {Format::HostFormat,
         {"NewPlugIn", "WinPlugInClose", "WinPlugInOpen", "_PI_GetRoutineDescriptor"}},
    };
    const std::vector<std::string>& wanted = entries.at(GetParam().format);
    EXPECT_EQ(exports, wanted);
}

TEST_P(WindowsModule, CarriesTheEditorBitmapsOfTheResourceScript) {
    // A bitmap resource is the BMP file less its 14-byte file header.
    std::map<std::uint32_t, std::vector<unsigned char>> wanted;
    for (const auto& entry : std::filesystem::directory_iterator(KAVET_BITMAP_DIR)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".bmp") continue;
        const std::vector<unsigned char> file = readBytes(entry.path().string());
        ASSERT_GT(file.size(), kBmpFileHeaderBytes) << name;
        wanted[static_cast<std::uint32_t>(std::stoul(name.substr(0, 3)))] = {
            file.begin() + kBmpFileHeaderBytes, file.end()};
    }
    ASSERT_EQ(wanted.size(), 17u) << "ids 110 to 127 without 115";

    const auto& bitmaps = image->resources[kBitmapType];
    std::vector<std::uint32_t> ids;
    for (const auto& [id, bytes] : bitmaps)
        ids.push_back(id);
    std::vector<std::uint32_t> wantedIds;
    for (const auto& [id, bytes] : wanted)
        wantedIds.push_back(id);
    ASSERT_EQ(ids, wantedIds);
    for (const auto& [id, bytes] : wanted)
        EXPECT_TRUE(bitmaps.at(id) == bytes) << "bitmap " << id << " differs from its file";
}

INSTANTIATE_TEST_SUITE_P(CrossBuilt, WindowsModule, ::testing::ValuesIn(kModules),
                         [](const ::testing::TestParamInfo<ModuleCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace kavet::test
