#include "module/builtin.h"

#include <atomic>
#include <cctype>
#include <cstring>

namespace kavet::platform::module {
namespace {

// The handle is the address of this object: unique, and never the base of a real module.
const char msimg32Tag[2] = {'m', 0};
std::atomic<int> msimg32Uses{0};

HMODULE msimg32() {
    return reinterpret_cast<HMODULE>(const_cast<char*>(msimg32Tag));
}

bool namesMsimg32(const char* name) {
    const char* file = name;
    for (const char* p = name; *p; ++p)
        if (*p == '/' || *p == '\\') file = p + 1;
    const char wanted[] = "msimg32";
    for (std::size_t i = 0; i < 7; ++i)
        if (std::tolower(static_cast<unsigned char>(file[i])) != wanted[i]) return false;
    const char* rest = file + 7;
    return !*rest || (rest[0] == '.' && std::tolower(static_cast<unsigned char>(rest[1])) == 'd' &&
                      std::tolower(static_cast<unsigned char>(rest[2])) == 'l' &&
                      std::tolower(static_cast<unsigned char>(rest[3])) == 'l' && !rest[4]);
}

} // namespace

bool isBuiltin(HMODULE module) {
    return module == msimg32();
}

HMODULE findBuiltin(const char* name) {
    return namesMsimg32(name) && msimg32Uses > 0 ? msimg32() : nullptr;
}

HMODULE loadBuiltin(const char* name) {
    if (!namesMsimg32(name)) return nullptr;
    ++msimg32Uses;
    return msimg32();
}

BOOL freeBuiltin(HMODULE) {
    int uses = msimg32Uses.load();
    while (uses > 0 && !msimg32Uses.compare_exchange_weak(uses, uses - 1)) {
    }
    if (uses <= 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

FARPROC builtinProc(HMODULE, const char* name) {
    if (msimg32Uses <= 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (std::strcmp(name, "TransparentBlt") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&TransparentBlt));
    if (std::strcmp(name, "AlphaBlend") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&AlphaBlend));
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

// Built in: there is no file behind it.
std::string builtinPath() {
    return "msimg32.dll";
}

} // namespace kavet::platform::module
