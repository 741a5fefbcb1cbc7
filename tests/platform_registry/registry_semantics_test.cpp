// Win32 semantics of the registry functions that callers depend on: results, error codes,
// out-parameters and access rights.
#include "registry_fixture.h"

#include <functional>

namespace kavet::test {
namespace {

using RegistrySemantics = RegistryTest;

TEST_F(RegistrySemantics, OpenOfMissingKeyFailsWithFileNotFoundAndNullHandle) {
    RegCloseKey(createKey("SOFTWARE\\Other"));
    for (const char* path : {"SOFTWARE\\Velmorant", "Velmorant", "SOFTWARE\\Other\\Deeper"}) {
        HKEY key = kJunkHandle;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND)
            << path;
        EXPECT_EQ(key, nullptr) << path;
    }
}

TEST_F(RegistrySemantics, CreateMakesIntermediateKeysAndReportsDisposition) {
    struct Step {
        const char* path;
        DWORD disposition;
    };
    const Step steps[] = {
        {"SOFTWARE\\Velmorant\\Deep", REG_CREATED_NEW_KEY},
        {"SOFTWARE\\Velmorant\\Deep", REG_OPENED_EXISTING_KEY},
        {"SOFTWARE\\Velmorant", REG_OPENED_EXISTING_KEY}, // made on the way to Deep
        {"SOFTWARE", REG_OPENED_EXISTING_KEY},
        {"SOFTWARE\\Velmorant\\Other", REG_CREATED_NEW_KEY},
        {"software\\VELMORANT\\deep", REG_OPENED_EXISTING_KEY},
    };
    for (const Step& step : steps) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, step.path, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, &disposition),
                  ERROR_SUCCESS)
            << step.path;
        EXPECT_EQ(disposition, step.disposition) << step.path;
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
}

TEST_F(RegistrySemantics, DeletingALeafKeepsTheKeysAboveIt) {
    RegCloseKey(createKey("A\\B\\C"));
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "A\\B\\C"), ERROR_SUCCESS);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "A\\B\\C", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "A\\B", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    // A parent known only through its child (a hand-written file) survives the child too.
    writeHiveFile("[HKEY_CURRENT_USER\\P\\Q]\n");
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "P\\Q"), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "P", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

// Every call with its expected answer, against a hive holding SOFTWARE\Velmorant (value
// "v") and A\B.
TEST_F(RegistrySemantics, ErrorCodesOfBadCalls) {
    HKEY velmorant = createKey("SOFTWARE\\Velmorant");
    ASSERT_EQ(set(velmorant, "v", REG_SZ, bytes("1", 2)), ERROR_SUCCESS);
    RegCloseKey(createKey("A\\B"));
    HKEY closed = createKey("SOFTWARE");
    ASSERT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
    HKEY readOnly = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Velmorant", 0, KEY_READ, &readOnly),
              ERROR_SUCCESS);
    HKEY writeOnly = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Velmorant", 0, KEY_WRITE, &writeOnly),
              ERROR_SUCCESS);

    HKEY out = nullptr;
    DWORD size = 4;
    BYTE data[4];
    DWORD reserved = 0;
    const std::string longName(256, 'k');
    const std::string longestName(255, 'k');
    const std::string longValueName(16384, 'v');
    struct Case {
        const char* what;
        std::function<LONG()> call;
        LONG expected;
    };
    const Case cases[] = {
        {"open, leading backslash",
         [&] { return RegOpenKeyExA(HKEY_CURRENT_USER, "\\SOFTWARE", 0, KEY_READ, &out); },
         ERROR_BAD_PATHNAME},
        {"open, empty name inside",
         [&] {
             return RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\\\Velmorant", 0, KEY_READ, &out);
         },
         ERROR_BAD_PATHNAME},
        {"open, trailing backslash is ignored",
         [&] {
             return RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Velmorant\\", 0, KEY_READ, &out);
         },
         ERROR_SUCCESS},
        {"open, no result pointer",
         [&] { return RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE", 0, KEY_READ, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"open, other root",
         [&] { return RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &out); },
         ERROR_ACCESS_DENIED},
        {"open, null handle", [&] { return RegOpenKeyExA(nullptr, "SOFTWARE", 0, KEY_READ, &out); },
         ERROR_INVALID_HANDLE},
        {"open, made-up handle", [&] { return RegOpenKeyExA(kJunkHandle, "", 0, KEY_READ, &out); },
         ERROR_INVALID_HANDLE},
        {"open, closed handle", [&] { return RegOpenKeyExA(closed, "", 0, KEY_READ, &out); },
         ERROR_INVALID_HANDLE},
        {"create, name of 256 bytes",
         [&] {
             return RegCreateKeyExA(HKEY_CURRENT_USER, longName.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &out, nullptr);
         },
         ERROR_INVALID_PARAMETER},
        {"create, name of 255 bytes",
         [&] {
             return RegCreateKeyExA(HKEY_CURRENT_USER, longestName.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &out, nullptr);
         },
         ERROR_SUCCESS},
        {"create, line break in name",
         [&] {
             return RegCreateKeyExA(HKEY_CURRENT_USER, "a\nb", 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &out, nullptr);
         },
         ERROR_INVALID_PARAMETER},
        {"create, null sub-key",
         [&] {
             return RegCreateKeyExA(HKEY_CURRENT_USER, nullptr, 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &out, nullptr);
         },
         ERROR_INVALID_PARAMETER},
        {"create, no result pointer",
         [&] {
             return RegCreateKeyExA(HKEY_CURRENT_USER, "X", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    nullptr, nullptr);
         },
         ERROR_INVALID_PARAMETER},
        {"create new key below a read-only handle",
         [&] {
             return RegCreateKeyExA(readOnly, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &out,
                                    nullptr);
         },
         ERROR_ACCESS_DENIED},
        {"create, other root",
         [&] {
             return RegCreateKeyExA(HKEY_USERS, "X", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &out,
                                    nullptr);
         },
         ERROR_ACCESS_DENIED},
        {"query, reserved pointer set",
         [&] { return RegQueryValueExA(velmorant, "v", &reserved, nullptr, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"query, data without size",
         [&] { return RegQueryValueExA(velmorant, "v", nullptr, nullptr, data, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"query, missing value",
         [&] { return RegQueryValueExA(velmorant, "w", nullptr, nullptr, nullptr, nullptr); },
         ERROR_FILE_NOT_FOUND},
        {"query, value name in other case",
         [&] { return RegQueryValueExA(velmorant, "V", nullptr, nullptr, nullptr, nullptr); },
         ERROR_SUCCESS},
        {"query through a write-only handle",
         [&] { return RegQueryValueExA(writeOnly, "v", nullptr, nullptr, nullptr, nullptr); },
         ERROR_ACCESS_DENIED},
        {"query, closed handle",
         [&] { return RegQueryValueExA(closed, "v", nullptr, nullptr, data, &size); },
         ERROR_INVALID_HANDLE},
        {"set through a read-only handle",
         [&] { return set(readOnly, "v", REG_SZ, bytes("2", 2)); }, ERROR_ACCESS_DENIED},
        {"set, null data with a size",
         [&] { return RegSetValueExA(velmorant, "v", 0, REG_BINARY, nullptr, 4); },
         ERROR_INVALID_PARAMETER},
        {"set, value name too long",
         [&] { return set(velmorant, longValueName.c_str(), REG_SZ, bytes("", 1)); },
         ERROR_INVALID_PARAMETER},
        {"set, made-up handle", [&] { return set(kJunkHandle, "v", REG_SZ, bytes("", 1)); },
         ERROR_INVALID_HANDLE},
        {"set, other root", [&] { return set(HKEY_LOCAL_MACHINE, "v", REG_SZ, bytes("", 1)); },
         ERROR_ACCESS_DENIED},
        {"delete value through a read-only handle", [&] { return RegDeleteValueA(readOnly, "v"); },
         ERROR_ACCESS_DENIED},
        {"delete missing value", [&] { return RegDeleteValueA(velmorant, "w"); },
         ERROR_FILE_NOT_FOUND},
        {"delete key that has sub-keys", [&] { return RegDeleteKeyA(HKEY_CURRENT_USER, "A"); },
         ERROR_ACCESS_DENIED},
        {"delete the root", [&] { return RegDeleteKeyA(HKEY_CURRENT_USER, ""); },
         ERROR_ACCESS_DENIED},
        {"delete missing key", [&] { return RegDeleteKeyA(HKEY_CURRENT_USER, "A\\Z"); },
         ERROR_FILE_NOT_FOUND},
        {"delete key, null name", [&] { return RegDeleteKeyA(HKEY_CURRENT_USER, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"close a closed handle", [&] { return RegCloseKey(closed); }, ERROR_INVALID_HANDLE},
        {"close a made-up handle", [&] { return RegCloseKey(kJunkHandle); }, ERROR_INVALID_HANDLE},
        {"close null", [&] { return RegCloseKey(nullptr); }, ERROR_INVALID_HANDLE},
    };
    for (const Case& c : cases) {
        out = nullptr;
        EXPECT_EQ(c.call(), c.expected) << c.what;
        if (out != nullptr) RegCloseKey(out);
    }
    // None of the refused writes touched the stored value.
    EXPECT_EQ(query(velmorant, "v"), (StoredValue{REG_SZ, bytes("1", 2)}));
    RegCloseKey(readOnly);
    RegCloseKey(writeOnly);
    RegCloseKey(velmorant);
}

// The buffer protocol of RegQueryValueExA on the preference value (8 bytes, REG_SZ).
TEST_F(RegistrySemantics, QueryReportsSizeTypeAndMoreData) {
    HKEY key = createKey("SOFTWARE\\Velmorant");
    ASSERT_EQ(set(key, "prefdataKavet", REG_SZ, bytes("0220000", 8)), ERROR_SUCCESS);
    struct Case {
        DWORD bufferSize;
        LONG expected;
    };
    for (const Case c :
         {Case{0, ERROR_MORE_DATA}, Case{1, ERROR_MORE_DATA}, Case{7, ERROR_MORE_DATA},
          Case{8, ERROR_SUCCESS}, Case{9, ERROR_SUCCESS}, Case{32, ERROR_SUCCESS}}) {
        BYTE buffer[32];
        std::fill(std::begin(buffer), std::end(buffer), BYTE{0xEE});
        DWORD size = c.bufferSize;
        DWORD type = 99;
        EXPECT_EQ(RegQueryValueExA(key, "prefdataKavet", nullptr, &type, buffer, &size), c.expected)
            << c.bufferSize;
        EXPECT_EQ(size, 8u) << c.bufferSize;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << c.bufferSize;
        if (c.expected == ERROR_SUCCESS) {
            EXPECT_EQ(std::string(buffer, buffer + 8), bytes("0220000", 8));
            EXPECT_EQ(buffer[8], 0xEE) << "wrote past the value";
        } else {
            EXPECT_EQ(buffer[0], 0xEE) << "a too-small buffer must not be filled";
        }
    }
    DWORD size = 0;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "prefdataKavet", nullptr, &type, nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(RegQueryValueExA(key, "prefdataKavet", nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistrySemantics, HandleOfADeletedKeyAnswersKeyDeleted) {
    HKEY key = createKey("Gone");
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Gone"), ERROR_SUCCESS);
    EXPECT_EQ(set(key, "v", REG_DWORD, bytes("\1\0\0\0", 4)), ERROR_KEY_DELETED);
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    HKEY sub = nullptr;
    EXPECT_EQ(RegCreateKeyExA(key, "Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    HKEY reopened = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Gone", 0, KEY_READ, &reopened),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistrySemantics, PredefinedRootIsUsableDirectlyAndNeverFreed) {
    EXPECT_EQ(set(HKEY_CURRENT_USER, "AtRoot", REG_DWORD, bytes("\7\0\0\0", 4)), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(query(HKEY_CURRENT_USER, "AtRoot"), (StoredValue{REG_DWORD, bytes("\7\0\0\0", 4)}));
    EXPECT_EQ(RegDeleteValueA(HKEY_CURRENT_USER, "AtRoot"), ERROR_SUCCESS);
    EXPECT_EQ(query(HKEY_CURRENT_USER, "AtRoot"), std::nullopt);
}

TEST_F(RegistrySemantics, EmptySubKeyOpensASecondHandleOfTheSameKey) {
    HKEY first = createKey("K");
    HKEY second = nullptr;
    ASSERT_EQ(RegOpenKeyExA(first, "", 0, KEY_ALL_ACCESS, &second), ERROR_SUCCESS);
    ASSERT_NE(second, first);
    ASSERT_EQ(set(second, "v", REG_BINARY, "x"), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(second), ERROR_SUCCESS);
    EXPECT_EQ(query(first, "v"), (StoredValue{REG_BINARY, "x"}));
    HKEY child = nullptr;
    ASSERT_EQ(RegCreateKeyExA(first, "Child\\Leaf", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child,
                              nullptr),
              ERROR_SUCCESS);
    HKEY viaRoot = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "K\\Child\\Leaf", 0, KEY_READ, &viaRoot),
              ERROR_SUCCESS);
    RegCloseKey(viaRoot);
    RegCloseKey(child);
    RegCloseKey(first);
}

TEST_F(RegistrySemantics, DeleteValueRemovesOnlyThatValue) {
    HKEY key = createKey("K");
    ASSERT_EQ(set(key, "a", REG_SZ, bytes("1", 2)), ERROR_SUCCESS);
    ASSERT_EQ(set(key, "b", REG_SZ, bytes("2", 2)), ERROR_SUCCESS);
    ASSERT_EQ(set(key, nullptr, REG_SZ, bytes("default", 8)), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(key, "A"), ERROR_SUCCESS);
    EXPECT_EQ(query(key, "a"), std::nullopt);
    EXPECT_EQ(query(key, "b"), (StoredValue{REG_SZ, bytes("2", 2)}));
    EXPECT_EQ(query(key, ""), (StoredValue{REG_SZ, bytes("default", 8)}));
    EXPECT_EQ(query(key, nullptr), (StoredValue{REG_SZ, bytes("default", 8)}));
    EXPECT_EQ(RegDeleteValueA(key, "a"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

// The preference store's save and load, step by step as the plug-in does them.
TEST_F(RegistrySemantics, PreferenceSaveThenLoadGivesTheSevenDigits) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Velmorant", 0, KEY_ALL_ACCESS, &key),
              ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Velmorant", 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char digits[] = "0220000";
    ASSERT_EQ(RegSetValueExA(key, "prefdataKavet", 0, REG_SZ, reinterpret_cast<const BYTE*>(digits),
                             static_cast<DWORD>(sizeof digits)),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Velmorant", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    char buffer[32] = {};
    DWORD size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(key, "prefdataKavet", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(size, 8u);
    EXPECT_STREQ(buffer, "0220000");

    const std::vector<std::string> lines = hiveLines();
    const auto section =
        std::find(lines.begin(), lines.end(), "[HKEY_CURRENT_USER\\SOFTWARE\\Velmorant]");
    ASSERT_NE(section, lines.end()) << readHiveFile();
    ASSERT_NE(section + 1, lines.end());
    EXPECT_EQ(section[1], "\"prefdataKavet\"=sz:\"0220000\"");
}

} // namespace
} // namespace kavet::test
