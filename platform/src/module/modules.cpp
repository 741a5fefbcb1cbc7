// Module handles, file names and run-time linking on top of the dynamic loader. A module
// handle is the base address of the loaded object (as on Windows), found through dladdr.
// "msimg32.dll" is built in: LoadLibraryA answers it without a file.
#include "module/builtin.h"

#include <windows.h>

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace {

std::mutex loaderMutex;

struct Loaded {
    void* handle = nullptr; // from dlopen; one dlclose per FreeLibrary
    int count = 0;
};
std::map<HMODULE, Loaded>& loaded() {
    static std::map<HMODULE, Loaded> table;
    return table;
}

HMODULE baseOf(const void* address) {
    Dl_info info{};
    if (!address || !dladdr(address, &info) || !info.dli_fbase) return nullptr;
    return static_cast<HMODULE>(info.dli_fbase);
}

HMODULE baseOfHandle(void* handle) {
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map) return nullptr;
    return baseOf(map->l_ld);
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string baseName(std::string_view path) {
    std::size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string executablePath() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return std::string(buffer, static_cast<std::size_t>(n));
}

HMODULE executableBase() {
    struct Found {
        HMODULE base = nullptr;
    } found;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            for (int i = 0; i < info->dlpi_phnum; ++i)
                if (info->dlpi_phdr[i].p_type == PT_LOAD) {
                    static_cast<Found*>(data)->base = baseOf(reinterpret_cast<const void*>(
                        info->dlpi_addr + info->dlpi_phdr[i].p_vaddr));
                    break;
                }
            return 1; // the first object is the program itself
        },
        &found);
    return found.base;
}

// A module already in the process whose file name matches `name` (case-insensitively, with
// or without the directory; "x" also matches "x.so").
HMODULE findLoaded(const std::string& name) {
    struct Search {
        std::string wanted;
        HMODULE base = nullptr;
    } search{lower(baseName(name))};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            if (!info->dlpi_name || !*info->dlpi_name) return 0;
            std::string file = lower(baseName(info->dlpi_name));
            if (file != s->wanted && file != s->wanted + ".so") return 0;
            for (int i = 0; i < info->dlpi_phnum; ++i)
                if (info->dlpi_phdr[i].p_type == PT_LOAD) {
                    s->base = baseOf(reinterpret_cast<const void*>(info->dlpi_addr +
                                                                   info->dlpi_phdr[i].p_vaddr));
                    return 1;
                }
            return 0;
        },
        &search);
    return search.base;
}

// The full path of a module, or empty when `module` is no module's base.
std::string pathOf(HMODULE module) {
    if (!module || module == executableBase()) return executablePath();
    if (kavet::platform::module::isBuiltin(module)) return kavet::platform::module::builtinPath();
    Dl_info info{};
    if (!dladdr(module, &info) || info.dli_fbase != static_cast<void*>(module) || !info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved)) return resolved;
    return info.dli_fname;
}

} // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (!lpModuleName) return executableBase();
    if (HMODULE builtin = kavet::platform::module::findBuiltin(lpModuleName)) return builtin;
    HMODULE found = findLoaded(lpModuleName);
    if (!found) SetLastError(ERROR_MOD_NOT_FOUND);
    return found;
}

BOOL WINAPI GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule) {
    if (!phModule) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Reference counts of modules found here are not changed (the loader keeps them loaded).
    *phModule = (dwFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) ? baseOf(lpModuleName)
                                                                   : GetModuleHandleA(lpModuleName);
    if (!*phModule) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    std::string path = pathOf(hModule);
    if (path.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // A short buffer receives as much as fits, terminated, and the call reports the shortage.
    if (path.size() >= nSize) {
        std::memcpy(lpFilename, path.data(), nSize - 1);
        lpFilename[nSize - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
}

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
    if (!lpLibFileName || !*lpLibFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (HMODULE builtin = kavet::platform::module::loadBuiltin(lpLibFileName)) return builtin;
    void* handle = dlopen(lpLibFileName, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    HMODULE base = baseOfHandle(handle);
    if (!base) {
        dlclose(handle);
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }
    std::lock_guard lock(loaderMutex);
    Loaded& entry = loaded()[base];
    if (entry.handle)
        dlclose(handle); // the loader counts; one handle per module suffices
    else
        entry.handle = handle;
    ++entry.count;
    return base;
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    if (kavet::platform::module::isBuiltin(hLibModule))
        return kavet::platform::module::freeBuiltin(hLibModule);
    std::lock_guard lock(loaderMutex);
    auto it = loaded().find(hLibModule);
    if (it == loaded().end()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (--it->second.count == 0) {
        dlclose(it->second.handle);
        loaded().erase(it);
    }
    return TRUE;
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (!lpProcName || IS_INTRESOURCE(lpProcName)) {
        // Exports by ordinal do not exist outside Windows.
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    if (kavet::platform::module::isBuiltin(hModule))
        return kavet::platform::module::builtinProc(hModule, lpProcName);
    void* symbol = nullptr;
    {
        std::lock_guard lock(loaderMutex);
        auto it = loaded().find(hModule);
        if (it != loaded().end()) symbol = dlsym(it->second.handle, lpProcName);
    }
    if (!symbol) {
        std::string path = hModule ? pathOf(hModule) : std::string();
        if (hModule && path.empty()) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        void* handle = hModule && hModule != executableBase()
                           ? dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD)
                           : dlopen(nullptr, RTLD_NOW);
        if (handle) {
            symbol = dlsym(handle, lpProcName);
            dlclose(handle);
        }
    }
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}
