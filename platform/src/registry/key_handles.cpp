#include "registry/key_handles.h"

#include "registry/hive_file.h"
#include "win32/winerror.h"
#include "win32/winreg.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace kavet::platform::registry {

namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<const void*, std::unique_ptr<OpenKey>> keys;
};

HandleTable& table() {
    static HandleTable instance;
    return instance;
}

bool isPredefinedRoot(HKEY handle) {
    return handle == HKEY_CLASSES_ROOT || handle == HKEY_CURRENT_USER ||
           handle == HKEY_LOCAL_MACHINE || handle == HKEY_USERS;
}

} // namespace

LONG resolveKey(HKEY handle, OpenKey& out) {
    if (handle == HKEY_CURRENT_USER) {
        out.path.clear();
        out.access = KEY_ALL_ACCESS;
        return locateHive(out.hive);
    }
    if (isPredefinedRoot(handle)) return ERROR_ACCESS_DENIED;
    HandleTable& handles = table();
    std::lock_guard guard(handles.mutex);
    const auto found = handles.keys.find(handle);
    if (found == handles.keys.end()) return ERROR_INVALID_HANDLE;
    out = *found->second;
    return ERROR_SUCCESS;
}

HKEY registerKey(OpenKey key) {
    auto object = std::make_unique<OpenKey>(std::move(key));
    const auto handle = reinterpret_cast<HKEY>(object.get());
    HandleTable& handles = table();
    std::lock_guard guard(handles.mutex);
    handles.keys.emplace(handle, std::move(object));
    return handle;
}

LONG releaseKey(HKEY handle) {
    if (isPredefinedRoot(handle)) return ERROR_SUCCESS;
    std::unique_ptr<OpenKey> object;
    HandleTable& handles = table();
    std::lock_guard guard(handles.mutex);
    const auto found = handles.keys.find(handle);
    if (found == handles.keys.end()) return ERROR_INVALID_HANDLE;
    object = std::move(found->second);
    handles.keys.erase(found);
    return ERROR_SUCCESS;
}

} // namespace kavet::platform::registry
