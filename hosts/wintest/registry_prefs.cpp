#include "registry_prefs.h"

#include <windows.h>

namespace {
constexpr const char* kKey = "SOFTWARE\\Velmorant";
constexpr const char* kValue = "prefdataKavet";
} // namespace

StoredPrefs readStoredPrefs() {
    StoredPrefs prefs;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return prefs;
    char data[64] = {};
    DWORD type = 0;
    DWORD size = sizeof data - 1; // keeps a zero after whatever is read
    if (RegQueryValueExA(key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
        ERROR_SUCCESS) {
        prefs.present = true;
        prefs.type = type;
        prefs.size = size;
        prefs.text = data;
    }
    RegCloseKey(key);
    return prefs;
}

bool writeStoredPrefs(const std::string& text) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result =
        RegSetValueExA(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool deleteStoredPrefs() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return true; // no key, so no value
    const LONG result = RegDeleteValueA(key, kValue);
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
