// The hive's file: its text form, round trips of awkward data, hand edits, case of names,
// and where the file lives.
#include "registry_fixture.h"

#include <sys/stat.h>

namespace kavet::test {
namespace {

using RegistryFile = RegistryTest;

// The line after the key's section line.
std::string lineAfter(const std::vector<std::string>& lines, const std::string& section) {
    const auto found = std::find(lines.begin(), lines.end(), section);
    return (found == lines.end() || found + 1 == lines.end()) ? "<none>" : found[1];
}

struct FormatCase {
    const char* what;
    DWORD type;
    std::string data;
    const char* line; // as written under the key's section
};

const FormatCase kFormatCases[] = {
    {"preferences", REG_SZ, bytes("0220000", 8), R"("v"=sz:"0220000")"},
    {"empty string", REG_SZ, bytes("", 1), R"("v"=sz:"")"},
    {"string with quote, backslash, controls, high bytes", REG_SZ,
     bytes("a\"b\\c\nd\re\tf\x01g\x7fh\xffi", 18), R"("v"=sz:"a\"b\\c\nd\re\tf\x01g\x7fh\xffi")"},
    {"zero inside a string, then a digit", REG_SZ,
     bytes("a\0b\0"
           "1",
           6),
     R"("v"=sz:"a\0b\x001")"},
    {"string stored without its zero", REG_SZ, bytes("ab", 2), R"("v"=hex(1):61,62)"},
    {"string of no bytes at all", REG_SZ, bytes("", 0), R"("v"=hex(1):)"},
    {"expandable string", REG_EXPAND_SZ, bytes("%HOME%", 7), R"("v"=expand_sz:"%HOME%")"},
    {"dword", REG_DWORD, bytes("\x2a\0\0\0", 4), R"("v"=dword:0000002a)"},
    {"dword, all bits", REG_DWORD, bytes("\xff\xff\xff\xff", 4), R"("v"=dword:ffffffff)"},
    {"dword, byte order", REG_DWORD, bytes("\x01\x02\x03\x04", 4), R"("v"=dword:04030201)"},
    {"dword of three bytes", REG_DWORD, bytes("\x01\x02\x03", 3), R"("v"=hex(4):01,02,03)"},
    {"binary with zero, 0xFF, quote, backslash, newline", REG_BINARY, bytes("\0\xff\"\\\n", 5),
     R"("v"=hex:00,ff,22,5c,0a)"},
    {"empty binary", REG_BINARY, bytes("", 0), R"("v"=hex:)"},
    {"none, empty", REG_NONE, bytes("", 0), R"("v"=hex(0):)"},
    {"none with data", REG_NONE, bytes("\x10", 1), R"("v"=hex(0):10)"},
    {"qword", REG_QWORD, bytes("\1\2\3\4\5\6\7\x08", 8), R"("v"=hex(b):01,02,03,04,05,06,07,08)"},
    {"largest type number", 0xFFFFFFFFu, bytes("\xab", 1), R"("v"=hex(ffffffff):ab)"},
};

TEST_F(RegistryFile, EveryTypeIsWrittenReadablyAndReadsBackExactly) {
    for (const FormatCase& c : kFormatCases) {
        freshHive();
        HKEY key = createKey("K");
        ASSERT_EQ(set(key, "v", c.type, c.data), ERROR_SUCCESS) << c.what;
        EXPECT_EQ(lineAfter(hiveLines(), "[HKEY_CURRENT_USER\\K]"), c.line) << c.what;
        EXPECT_EQ(query(key, "v"), (StoredValue{c.type, c.data})) << c.what;
        RegCloseKey(key);
    }
}

TEST_F(RegistryFile, AwkwardValueNamesRoundTrip) {
    HKEY key = createKey("K");
    const char* names[] = {"", "a\"b", "back\\slash", "line\nbreak", "=", "@", "\xff\x01", "[x]"};
    for (std::size_t i = 0; i < std::size(names); ++i)
        ASSERT_EQ(set(key, names[i], REG_DWORD, std::string(4, static_cast<char>(i))),
                  ERROR_SUCCESS);
    for (std::size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(query(key, names[i]),
                  (StoredValue{REG_DWORD, std::string(4, static_cast<char>(i))}))
            << i;
    EXPECT_EQ(lineAfter(hiveLines(), "[HKEY_CURRENT_USER\\K]"), "@=dword:00000000");
    RegCloseKey(key);
}

struct ReadCase {
    const char* line;
    std::optional<StoredValue> expected; // nothing: the line reads as no value
};

// Lines as a person might type them, under [HKEY_CURRENT_USER\K], value name "v".
TEST_F(RegistryFile, HandWrittenLinesReadAsValueOrAsMissing) {
    const ReadCase cases[] = {
        {R"("v"=sz:"x")", StoredValue{REG_SZ, bytes("x", 2)}},
        {"  \"v\"  =  sz:\"x\"  \t", StoredValue{REG_SZ, bytes("x", 2)}},
        {"\"v\"=sz:\"x\"\r", StoredValue{REG_SZ, bytes("x", 2)}},
        {R"("v"="x")", StoredValue{REG_SZ, bytes("x", 2)}},
        {R"("V"=SZ:"x")", StoredValue{REG_SZ, bytes("x", 2)}},
        {R"("v"=dword:2A)", StoredValue{REG_DWORD, bytes("\x2a\0\0\0", 4)}},
        {R"("v"=hex:01, 02 ,03)", StoredValue{REG_BINARY, bytes("\1\2\3", 3)}},
        {R"("v"=hex(B):01)", StoredValue{0xB, bytes("\1", 1)}},
        {R"("v"=sz:"\x41\0")", StoredValue{REG_SZ, bytes("A\0", 3)}},
        {R"("v"=sz:"x)", std::nullopt},
        {R"("v"=sz:"\q")", std::nullopt},
        {R"("v"=sz:"\x4")", std::nullopt},
        {R"("v"=sz:"x" trailing)", std::nullopt},
        {R"("v"=dword:123456789)", std::nullopt},
        {R"("v"=dword:)", std::nullopt},
        {R"("v"=dword:-1)", std::nullopt},
        {R"("v"=hex:1)", std::nullopt},
        {R"("v"=hex:01,)", std::nullopt},
        {R"("v"=hex:01,02,\)", std::nullopt},
        {R"("v"=hex(zz):01)", std::nullopt},
        {R"("v"=hex(1)01)", std::nullopt},
        {R"(v=sz:"x")", std::nullopt},
        {R"("v"sz:"x")", std::nullopt},
        {R"("v"=text:"x")", std::nullopt},
        {R"(; "v"=sz:"x")", std::nullopt},
    };
    for (const ReadCase& c : cases) {
        writeHiveFile(std::string("[HKEY_CURRENT_USER\\K]\n") + c.line + "\n");
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "K", 0, KEY_READ, &key), ERROR_SUCCESS)
            << c.line;
        EXPECT_EQ(query(key, "v"), c.expected) << c.line;
        RegCloseKey(key);
    }
}

TEST_F(RegistryFile, UnreadableLinesSurviveARewriteVerbatim) {
    const std::vector<std::string> junk = {
        "; a comment", "\"broken\"=sz:\"no end", "garbage \x01\x02\xff bytes", "\"v\"=hex:zz", "",
        "   ",         "\"crlf\"=sz:\"kept\"\r",
    };
    std::string text = "# first line\n[HKEY_CURRENT_USER\\K]\n\"keep\"=dword:00000001\n";
    for (const std::string& line : junk)
        text += line + "\n";
    text += "[HKEY_CURRENT_USER\\Broken\n\"orphan\"=sz:\"not K's\"\n[HKEY_LOCAL_MACHINE\\X]\n";
    text += "\"foreign\"=sz:\"y\"\n";
    writeHiveFile(text);

    HKEY key = createKey("K");
    EXPECT_EQ(query(key, "broken"), std::nullopt);
    EXPECT_EQ(query(key, "v"), std::nullopt);
    EXPECT_EQ(query(key, "orphan"), std::nullopt) << "a value after a broken section line";
    EXPECT_EQ(query(key, "crlf"), (StoredValue{REG_SZ, bytes("kept", 5)}));
    ASSERT_EQ(set(key, "new", REG_SZ, bytes("n", 2)), ERROR_SUCCESS);
    ASSERT_EQ(set(key, "keep", REG_DWORD, bytes("\2\0\0\0", 4)), ERROR_SUCCESS);
    ASSERT_EQ(set(key, "broken", REG_SZ, bytes("fixed", 6)), ERROR_SUCCESS);

    const std::string after = readHiveFile();
    for (const std::string& line : junk)
        EXPECT_NE(after.find(line + "\n"), std::string::npos) << line;
    for (const char* line :
         {"# first line\n", "[HKEY_CURRENT_USER\\Broken\n", "\"orphan\"=sz:\"not K's\"\n",
          "[HKEY_LOCAL_MACHINE\\X]\n", "\"foreign\"=sz:\"y\"\n", "\"keep\"=dword:00000002\n",
          "\"new\"=sz:\"n\"\n"})
        EXPECT_NE(after.find(line), std::string::npos) << line;
    EXPECT_EQ(query(key, "keep"), (StoredValue{REG_DWORD, bytes("\2\0\0\0", 4)}));
    EXPECT_EQ(query(key, "broken"), (StoredValue{REG_SZ, bytes("fixed", 6)}));
    EXPECT_EQ(query(key, "new"), (StoredValue{REG_SZ, bytes("n", 2)}));
    RegCloseKey(key);
}

TEST_F(RegistryFile, DeletingAKeyKeepsItsCommentsAndUnknownLines) {
    writeHiveFile("[HKEY_CURRENT_USER\\K]\n; note\n\"v\"=sz:\"x\"\n??\n[HKEY_CURRENT_USER\\L]\n");
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "k"), ERROR_SUCCESS);
    EXPECT_EQ(readHiveFile(), "; note\n??\n[HKEY_CURRENT_USER\\L]\n");
}

TEST_F(RegistryFile, LastOfTwoLinesWinsAndDeleteRemovesBoth) {
    writeHiveFile(
        "[HKEY_CURRENT_USER\\K]\n\"v\"=sz:\"1\"\n[HKEY_CURRENT_USER\\k]\n\"V\"=sz:\"2\"\n");
    HKEY key = createKey("K");
    EXPECT_EQ(query(key, "v"), (StoredValue{REG_SZ, bytes("2", 2)}));
    ASSERT_EQ(set(key, "v", REG_SZ, bytes("3", 2)), ERROR_SUCCESS);
    EXPECT_EQ(query(key, "v"), (StoredValue{REG_SZ, bytes("3", 2)}));
    ASSERT_EQ(RegDeleteValueA(key, "v"), ERROR_SUCCESS);
    EXPECT_EQ(query(key, "v"), std::nullopt);
    RegCloseKey(key);
}

TEST_F(RegistryFile, KeyAndValueNamesIgnoreCaseAndKeepTheirFirstCase) {
    HKEY key = createKey("Software\\Velmorant");
    ASSERT_EQ(set(key, "PrefData", REG_SZ, bytes("1", 2)), ERROR_SUCCESS);
    RegCloseKey(key);
    HKEY upper = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\VELMORANT", 0, KEY_ALL_ACCESS, &upper),
              ERROR_SUCCESS);
    EXPECT_EQ(query(upper, "prefdata"), (StoredValue{REG_SZ, bytes("1", 2)}));
    ASSERT_EQ(set(upper, "PREFDATA", REG_SZ, bytes("2", 2)), ERROR_SUCCESS);
    HKEY deeper = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(upper, "NEW", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &deeper, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(deeper);
    RegCloseKey(upper);

    const std::vector<std::string> lines = hiveLines();
    EXPECT_EQ(lineAfter(lines, "[HKEY_CURRENT_USER\\Software\\Velmorant]"),
              "\"PrefData\"=sz:\"2\"");
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "[HKEY_CURRENT_USER\\Software\\Velmorant\\NEW]"),
        lines.end());
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return !l.empty() && l[0] == '['; }),
              3);
}

TEST_F(RegistryFile, AnotherWritersSaveIsSeenAtOnce) {
    HKEY key = createKey("K");
    ASSERT_EQ(set(key, "v", REG_SZ, bytes("old", 4)), ERROR_SUCCESS);
    writeHiveFile("[HKEY_CURRENT_USER\\K]\n\"v\"=sz:\"new\"\n");
    EXPECT_EQ(query(key, "v"), (StoredValue{REG_SZ, bytes("new", 4)}));
    RegCloseKey(key);
}

TEST_F(RegistryFile, SavesLeaveNoTemporaryFileAndClearOnesLeftBefore) {
    HKEY key = createKey("K");
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(set(key, "v", REG_DWORD, std::string(4, char(i))), ERROR_SUCCESS);
    EXPECT_EQ(hiveFolderEntries(), (std::vector<std::string>{"registry.txt", "registry.txt.lock"}));
    std::ofstream(configHome() + "/kavet/registry.txt.tmp-abc123") << "left by a crash";
    ASSERT_EQ(set(key, "v", REG_DWORD, bytes("\x63\0\0\0", 4)), ERROR_SUCCESS);
    EXPECT_EQ(hiveFolderEntries(), (std::vector<std::string>{"registry.txt", "registry.txt.lock"}));
    RegCloseKey(key);
}

TEST_F(RegistryFile, FileFollowsXdgConfigHomeThenHome) {
    const std::string home = configHome() + "/home";
    std::filesystem::create_directories(home);
    setenv("HOME", home.c_str(), 1);
    struct Case {
        const char* xdg; // null: unset
        std::string expectedFile;
    };
    const std::string xdg = configHome() + "/xdg";
    const Case cases[] = {
        {xdg.c_str(), xdg + "/kavet/registry.txt"},
        {nullptr, home + "/.config/kavet/registry.txt"},
        {"", home + "/.config/kavet/registry.txt"},
        {"relative/dir", home + "/.config/kavet/registry.txt"},
    };
    for (const Case& c : cases) {
        if (c.xdg)
            setenv("XDG_CONFIG_HOME", c.xdg, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(xdg);
        std::filesystem::remove_all(home + "/.config");
        ASSERT_EQ(set(HKEY_CURRENT_USER, "where", REG_SZ, bytes("x", 2)), ERROR_SUCCESS);
        EXPECT_TRUE(std::filesystem::exists(c.expectedFile)) << c.expectedFile;
    }
}

TEST_F(RegistryFile, WithoutAnyHomeEveryCallFailsCleanly) {
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    HKEY key = kJunkHandle;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "K", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "K", 0, KEY_READ, &key), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(set(HKEY_CURRENT_USER, "v", REG_SZ, bytes("x", 2)), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExA(HKEY_CURRENT_USER, "v", nullptr, nullptr, nullptr, nullptr),
              ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(HKEY_CURRENT_USER, "v"), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "K"), ERROR_PATH_NOT_FOUND);
    // Nothing is left broken: once a home is back, the registry works.
    setenv("XDG_CONFIG_HOME", configHome().c_str(), 1);
    key = createKey("K");
    EXPECT_EQ(set(key, "v", REG_SZ, bytes("x", 2)), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryFile, AHandleKeepsTheHiveItWasOpenedIn) {
    HKEY key = createKey("K");
    ASSERT_EQ(set(key, "v", REG_SZ, bytes("first", 6)), ERROR_SUCCESS);
    useFreshConfigHome();
    EXPECT_EQ(query(key, "v"), (StoredValue{REG_SZ, bytes("first", 6)}));
    EXPECT_EQ(query(HKEY_CURRENT_USER, "v"), std::nullopt);
    RegCloseKey(key);
}

TEST_F(RegistryFile, UnwritableFolderFailsWithoutDamage) {
    writeHiveFile("[HKEY_CURRENT_USER\\K]\n\"v\"=sz:\"x\"\n");
    // A config "folder" that is a file: nothing can be created below it.
    const std::string blocked = configHome() + "/blocked";
    std::ofstream(blocked) << "a file";
    setenv("XDG_CONFIG_HOME", blocked.c_str(), 1);
    EXPECT_EQ(set(HKEY_CURRENT_USER, "v", REG_SZ, bytes("x", 2)), ERROR_CANTWRITE);
    EXPECT_EQ(query(HKEY_CURRENT_USER, "v"), std::nullopt);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "K", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    // A hive file that is a folder cannot be read.
    setenv("XDG_CONFIG_HOME", configHome().c_str(), 1);
    std::filesystem::remove(hiveFile());
    std::filesystem::create_directories(hiveFile());
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "K", 0, KEY_READ, &key), ERROR_CANTREAD);
    EXPECT_EQ(set(HKEY_CURRENT_USER, "v", REG_SZ, bytes("x", 2)), ERROR_CANTREAD);
}

} // namespace
} // namespace kavet::test
