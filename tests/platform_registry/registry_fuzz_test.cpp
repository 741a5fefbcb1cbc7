// Random files and random values: the hive never crashes on what it reads, never drops a
// byte of a file it rewrites, and stores whatever it is given exactly.
#include "registry_fixture.h"

#include <random>

namespace kavet::test {
namespace {

using RegistryFuzz = RegistryTest;

// Text that is mostly registry-like pieces glued with random bytes, so the parser reaches
// its deeper branches as well as its first checks.
std::string randomHiveText(std::mt19937& random) {
    static const char* const pieces[] = {
        "[HKEY_CURRENT_USER",
        "\\K",
        "\\k\\Sub",
        "]",
        "[",
        "\n",
        "\r\n",
        "\"v\"",
        "\"w\"",
        "@",
        "=",
        "sz:",
        "expand_sz:",
        "dword:",
        "hex:",
        "hex(",
        "):",
        "\"",
        "\\\"",
        "\\\\",
        "\\x",
        "\\0",
        "\\n",
        "ff",
        "0",
        ",",
        " ",
        "\t",
        ";",
        "2a",
        "00000001",
        "\x00",
        "\xff",
    };
    std::string text;
    const int count = std::uniform_int_distribution<int>(0, 200)(random);
    for (int i = 0; i < count; ++i) {
        if (std::uniform_int_distribution<int>(0, 4)(random) == 0) {
            text += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
        } else {
            const char* piece = pieces[std::uniform_int_distribution<std::size_t>(
                0, std::size(pieces) - 1)(random)];
            text += (piece[0] == '\0') ? std::string(1, '\0') : std::string(piece);
        }
    }
    return text;
}

TEST_F(RegistryFuzz, RandomFilesNeverCrashAndKeepEveryByteOnRewrite) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        const std::string text = randomHiveText(random);
        writeHiveFile(text);
        for (const char* path : {"K", "k\\Sub", "K\\Sub", ""}) {
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
                continue;
            for (const char* name : {"v", "w", "", "V"}) {
                const auto value = query(key, name);
                if (value && value->type == REG_SZ) {
                    ASSERT_FALSE(value->data.empty());
                    EXPECT_EQ(value->data.back(), '\0');
                }
            }
            RegCloseKey(key);
        }
        // A save into a key that no random file names appends and changes nothing above it.
        HKEY fresh = createKey("Fuzz\\Target");
        ASSERT_EQ(set(fresh, "x", REG_BINARY, text), ERROR_SUCCESS) << "round " << round;
        EXPECT_EQ(query(fresh, "x"), (StoredValue{REG_BINARY, text}));
        RegCloseKey(fresh);
        if (!text.empty()) {
            const std::string expectedStart = text.back() == '\n' ? text : text + "\n";
            const std::string after = readHiveFile();
            ASSERT_EQ(after.compare(0, expectedStart.size(), expectedStart), 0)
                << "round " << round << " lost bytes of the file";
        }
    }
}

TEST_F(RegistryFuzz, RandomValuesRoundTripExactly) {
    std::mt19937 random(77);
    const DWORD types[] = {REG_NONE,  REG_SZ,    REG_EXPAND_SZ, REG_BINARY,
                           REG_DWORD, REG_QWORD, 0x1234};
    HKEY key = createKey("K");
    std::vector<std::pair<std::string, StoredValue>> written;
    for (int i = 0; i < 120; ++i) {
        std::string name;
        const int nameLength = std::uniform_int_distribution<int>(0, 12)(random);
        for (int c = 0; c < nameLength; ++c)
            name += static_cast<char>(std::uniform_int_distribution<int>(1, 255)(random));
        name += '#'; // distinct names, whatever the case folding
        name += std::to_string(i);
        StoredValue value;
        value.type =
            types[std::uniform_int_distribution<std::size_t>(0, std::size(types) - 1)(random)];
        const int size = std::uniform_int_distribution<int>(0, 40)(random);
        for (int b = 0; b < size; ++b)
            value.data += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
        ASSERT_EQ(set(key, name.c_str(), value.type, value.data), ERROR_SUCCESS);
        written.emplace_back(name, value);
    }
    for (const auto& [name, value] : written)
        EXPECT_EQ(query(key, name.c_str()), value) << name;
    RegCloseKey(key);
}

} // namespace
} // namespace kavet::test
