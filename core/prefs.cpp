#include "prefs.h"

#include "base/contract.h"

#include <windows.h>

#include <cstring>

namespace kavet {

std::int32_t sanitizePrefWord(int word, std::int32_t value) {
    // The word's index comes from our own loops over kPrefWords, never from a store.
    KAVET_EXPECT(word >= 0 && word < kPrefWords, 0);
    switch (word) {
    case kPrefFineRange:
    case kPrefTrimRange:
        // Taken modulo 3: 4 is the same range as 1. A negative word (a malformed store or
        // chunk) takes the non-negative remainder, so the rule repeats every three words on
        // both sides of zero: -1 is the same range as 2.
        return ((value % 3) + 3) % 3;
    case kPrefBallistics:
        return value & 3; // only the two low bits are used (two's complement for negatives)
    default:
        if (value < 0 || value > kPrefMax[word]) return kDefaultPrefs.words[word];
        return value;
    }
}

PrefValues PlugPrefs::values() const {
    PrefValues v;
    for (int i = 0; i < kPrefWords; ++i)
        v.words[i] = get(i);
    return v;
}

void PlugPrefs::set(const PrefValues& values) {
    for (int i = 0; i < kPrefWords; ++i)
        set(i, values.words[i]);
}

bool PlugPrefs::loadPrefs() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPrefsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    char data[32];
    std::memset(data, 0, sizeof data);
    DWORD type = 0;
    DWORD size = sizeof data;
    LONG result =
        RegQueryValueExA(key, kPrefsValue, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || size < 2) return false;
    // A word past the end of a short text was never stored: it takes its default.
    const std::size_t stored = strnlen(data, size);
    for (int i = 0; i < kPrefWords; ++i) {
        set(i, static_cast<std::size_t>(i) < stored ? sanitizePrefWord(i, data[i] - '0')
                                                    : kDefaultPrefs.words[i]);
    }
    return true;
}

void PlugPrefs::savePrefs() const {
    char text[kPrefWords + 1];
    for (int i = 0; i < kPrefWords; ++i) {
        text[i] = static_cast<char>('0' + sanitizePrefWord(i, get(i)));
    }
    text[kPrefWords] = '\0';

    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPrefsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS &&
        RegCreateKeyExA(HKEY_CURRENT_USER, kPrefsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, kPrefsValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
    RegCloseKey(key);
}

void PlugPrefs::initFromStore() {
    set(kDefaultPrefs);
    if (!loadPrefs()) savePrefs();
}

} // namespace kavet
