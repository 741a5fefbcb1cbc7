// A fresh, empty hive for every test, and small helpers around the Reg* calls.
#pragma once

#include "test_env.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace kavet::test {

struct StoredValue {
    DWORD type = 0;
    std::string data;
    bool operator==(const StoredValue&) const = default;
};

// A handle value that no call ever returned.
inline const HKEY kJunkHandle = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234));

inline std::string bytes(const char* text, std::size_t size) {
    return std::string(text, size);
}

// Creates (or opens) a key below HKEY_CURRENT_USER with full access.
inline HKEY createKey(const char* path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS)
        << path;
    return key;
}
inline LONG set(HKEY key, const char* name, DWORD type, const std::string& data) {
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}
// The stored value, or nothing when the query fails.
inline std::optional<StoredValue> query(HKEY key, const char* name) {
    DWORD size = 0;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<BYTE> buffer(size + 1);
    if (RegQueryValueExA(key, name, nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    return StoredValue{type, std::string(buffer.begin(), buffer.begin() + size)};
}

class RegistryTest : public testing::Test {
protected:
    void SetUp() override {
        savedHome_ = saveEnv("HOME");
        configHome_ = useFreshConfigHome();
    }
    void TearDown() override {
        if (savedHome_)
            setenv("HOME", savedHome_->c_str(), 1);
        else
            unsetenv("HOME");
    }

    // Starts over with an empty hive in a new folder.
    void freshHive() { configHome_ = useFreshConfigHome(); }
    std::string configHome() const { return configHome_; }
    std::string hiveFile() const { return configHome_ + "/kavet/registry.txt"; }

    std::string readHiveFile() const {
        std::ifstream in(hiveFile(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void writeHiveFile(const std::string& text) const {
        std::filesystem::create_directories(configHome_ + "/kavet");
        std::ofstream(hiveFile(), std::ios::binary) << text;
    }
    std::vector<std::string> hiveLines() const {
        std::vector<std::string> lines;
        std::istringstream in(readHiveFile());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // Names of the files in the hive's folder.
    std::vector<std::string> hiveFolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(configHome_ + "/kavet"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    static std::optional<std::string> saveEnv(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }

    std::string configHome_;
    std::optional<std::string> savedHome_;
};

} // namespace kavet::test
