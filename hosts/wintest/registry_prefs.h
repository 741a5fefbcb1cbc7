// The plug-in's stored preferences in the current user's registry hive: the REG_SZ value
// "prefdataKavet" under "SOFTWARE\Velmorant", read and written through ADVAPI32 as the
// plug-in itself does.
#pragma once

#include <string>

struct StoredPrefs {
    bool present = false;   // the value exists
    unsigned long type = 0; // REG_SZ expected
    unsigned long size = 0; // bytes, terminating zero included
    std::string text;       // the characters before the first zero
};

StoredPrefs readStoredPrefs();
bool writeStoredPrefs(const std::string& text);
bool deleteStoredPrefs();
