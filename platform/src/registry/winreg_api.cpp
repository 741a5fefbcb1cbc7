// The registry functions of ADVAPI32 on the current user's hive, kept in a text file (see
// hive_text.h for its form and hive_file.h for how saves and reads meet). UI thread in
// Kavet, but any thread may call them at once: every call works on the file afresh under
// its lock, and handles are looked up in a locked table.
#include "registry/hive_file.h"
#include "registry/key_handles.h"
#include "win32/winerror.h"
#include "win32/winreg.h"

#include <cstring>
#include <new>

namespace kavet::platform::registry {
namespace {

// These functions return error codes to C callers: nothing may leave them as an exception.
template <typename Body> LONG guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (...) {
        return ERROR_BADDB; // nothing else throws; answer "registry unusable" rather than crash
    }
}

LONG validValueName(const char* name) {
    if (name != nullptr && std::strlen(name) > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
    return ERROR_SUCCESS;
}

// The handle's key with the caller's sub-key appended.
LONG resolveSubKey(HKEY handle, const char* subKey, OpenKey& key) {
    const LONG result = resolveKey(handle, key);
    if (result != ERROR_SUCCESS) return result;
    return appendSubKey(subKey, key.path);
}

LONG openKey(HKEY parent, const char* subKey, REGSAM access, HKEY* result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey key;
    LONG status = resolveSubKey(parent, subKey, key);
    if (status != ERROR_SUCCESS) return status;
    HiveDocument doc;
    status = readHive(key.hive, doc);
    if (status != ERROR_SUCCESS) return status;
    if (!doc.keyExists(key.path)) return ERROR_FILE_NOT_FOUND;
    key.access = access;
    *result = registerKey(std::move(key));
    return ERROR_SUCCESS;
}

LONG createKey(HKEY parent, const char* subKey, REGSAM access, HKEY* result, DWORD* disposition) {
    if (result == nullptr || subKey == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey above;
    LONG status = resolveKey(parent, above);
    if (status != ERROR_SUCCESS) return status;
    OpenKey key = above;
    if ((status = appendSubKey(subKey, key.path)) != ERROR_SUCCESS) return status;
    bool created = false;
    status = updateHive(key.hive, [&](HiveDocument& doc, bool& changed) -> LONG {
        if (doc.keyExists(key.path)) return ERROR_SUCCESS;
        if (!doc.keyExists(above.path)) return ERROR_KEY_DELETED;
        if (!allows(above, KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
        changed = created = doc.createKey(key.path);
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS) return status;
    if (disposition != nullptr)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    key.access = access;
    *result = registerKey(std::move(key));
    return ERROR_SUCCESS;
}

LONG queryValue(HKEY handle, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                DWORD* size) {
    OpenKey key;
    LONG status = resolveKey(handle, key);
    if (status != ERROR_SUCCESS) return status;
    if (reserved != nullptr || (data != nullptr && size == nullptr)) return ERROR_INVALID_PARAMETER;
    if (!allows(key, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    HiveDocument doc;
    status = readHive(key.hive, doc);
    if (status != ERROR_SUCCESS) return status;
    if (!doc.keyExists(key.path)) return ERROR_KEY_DELETED;
    const RegValue* value = doc.findValue(key.path, name == nullptr ? "" : name);
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;

    const auto needed = static_cast<DWORD>(value->data.size());
    if (type != nullptr) *type = value->type;
    if (data != nullptr && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr) std::memcpy(data, value->data.data(), needed);
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
}

LONG setValue(HKEY handle, const char* name, DWORD type, const BYTE* data, DWORD size) {
    OpenKey key;
    LONG status = resolveKey(handle, key);
    if (status != ERROR_SUCCESS) return status;
    if (data == nullptr && size != 0) return ERROR_INVALID_PARAMETER;
    if ((status = validValueName(name)) != ERROR_SUCCESS) return status;
    if (!allows(key, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    RegValue value;
    value.name = name == nullptr ? "" : name;
    value.type = type;
    if (size != 0) value.data.assign(reinterpret_cast<const char*>(data), size);
    return updateHive(key.hive, [&](HiveDocument& doc, bool& changed) -> LONG {
        if (!doc.keyExists(key.path)) return ERROR_KEY_DELETED;
        changed = doc.setValue(key.path, value);
        return ERROR_SUCCESS;
    });
}

LONG deleteValue(HKEY handle, const char* name) {
    OpenKey key;
    const LONG status = resolveKey(handle, key);
    if (status != ERROR_SUCCESS) return status;
    if (!allows(key, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    return updateHive(key.hive, [&](HiveDocument& doc, bool& changed) -> LONG {
        if (!doc.keyExists(key.path)) return ERROR_KEY_DELETED;
        changed = doc.deleteValue(key.path, name == nullptr ? "" : name);
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG deleteKey(HKEY handle, const char* subKey) {
    if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
    OpenKey key;
    const LONG status = resolveSubKey(handle, subKey, key);
    if (status != ERROR_SUCCESS) return status;
    if (key.path.empty()) return ERROR_ACCESS_DENIED; // the root stays
    return updateHive(key.hive, [&](HiveDocument& doc, bool& changed) -> LONG {
        if (!doc.keyExists(key.path)) return ERROR_FILE_NOT_FOUND;
        if (doc.hasSubKeys(key.path)) return ERROR_ACCESS_DENIED;
        changed = doc.deleteKey(key.path);
        return ERROR_SUCCESS;
    });
}

} // namespace
} // namespace kavet::platform::registry

namespace reg = kavet::platform::registry;

extern "C" {

// ulOptions (REG_OPTION_OPEN_LINK) has no meaning here; samDesired is kept with the
// handle and checked by the value functions.
LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    return reg::guarded([&] { return reg::openKey(hKey, lpSubKey, samDesired, phkResult); });
}

// Every key is kept in the file, so REG_OPTION_VOLATILE keys outlive the session too;
// lpClass and the security attributes are ignored.
LONG WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                            LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    return reg::guarded(
        [&] { return reg::createKey(hKey, lpSubKey, samDesired, phkResult, lpdwDisposition); });
}

LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                             LPBYTE lpData, LPDWORD lpcbData) {
    return reg::guarded(
        [&] { return reg::queryValue(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData); });
}

LONG WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                           DWORD cbData) {
    return reg::guarded([&] { return reg::setValue(hKey, lpValueName, dwType, lpData, cbData); });
}

LONG WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    return reg::guarded([&] { return reg::deleteValue(hKey, lpValueName); });
}

LONG WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    return reg::guarded([&] { return reg::deleteKey(hKey, lpSubKey); });
}

LONG WINAPI RegCloseKey(HKEY hKey) {
    return reg::guarded([&] { return reg::releaseKey(hKey); });
}

} // extern "C"
