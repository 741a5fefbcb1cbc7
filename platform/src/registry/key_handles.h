// Open key handles. Each HKEY that RegOpenKeyExA or RegCreateKeyExA returns is a heap
// object listed in a process-wide table, so a closed, foreign or made-up handle is
// recognised and refused instead of being followed. The predefined root
// HKEY_CURRENT_USER is no object: it stands for the root of the hive located afresh at
// each call, with every access right, and RegCloseKey leaves it alone. The other
// predefined roots are not kept by this layer and are refused with ERROR_ACCESS_DENIED.
#pragma once

#include "registry/key_path.h"
#include "win32/basetypes.h"

#include <string>

namespace kavet::platform::registry {

// What a handle stands for. The hive file is fixed when a key is opened, so a handle keeps
// naming the same hive when the environment changes later.
struct OpenKey {
    std::string hive;
    KeyPath path;
    REGSAM access = 0;
};

// Copies what the handle stands for. ERROR_INVALID_HANDLE for null, closed or unknown
// handles; ERROR_ACCESS_DENIED for the predefined roots other than HKEY_CURRENT_USER;
// ERROR_PATH_NOT_FOUND when HKEY_CURRENT_USER has no hive file (no home folder).
LONG resolveKey(HKEY handle, OpenKey& out);

HKEY registerKey(OpenKey key);

// ERROR_SUCCESS for an open handle (now freed) and for the predefined roots.
LONG releaseKey(HKEY handle);

// True when the handle's access includes every bit of `rights`.
inline bool allows(const OpenKey& key, REGSAM rights) {
    return (key.access & rights) == rights;
}

} // namespace kavet::platform::registry
