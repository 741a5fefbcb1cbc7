#include "vst3_library.h"

#include "host_error.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace kavet::host {

#if defined(_WIN32)

namespace {

std::wstring widen(const std::string& text) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units > 0 ? units : 1), L'\0');
    if (units > 0) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), units);
    wide.resize(wide.size() - 1);
    return wide;
}

} // namespace

SharedLibrary::SharedLibrary(const std::string& path) {
    handle_ = LoadLibraryW(widen(path).c_str());
    if (handle_ == nullptr)
        throw HostError("module '" + path + "' cannot be loaded: error " +
                        std::to_string(GetLastError()));
}

SharedLibrary::~SharedLibrary() {
    FreeLibrary(static_cast<HMODULE>(handle_));
}

void* SharedLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

#else

SharedLibrary::SharedLibrary(const std::string& path) {
    // dlopen searches the library path for a name without a slash; a module is a file.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    dlerror();
    handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        throw HostError("module '" + path +
                        "' cannot be loaded: " + (why != nullptr ? why : "unknown reason"));
    }
}

SharedLibrary::~SharedLibrary() {
    dlclose(handle_);
}

void* SharedLibrary::symbol(const char* name) const {
    return dlsym(handle_, name);
}

#endif

} // namespace kavet::host
