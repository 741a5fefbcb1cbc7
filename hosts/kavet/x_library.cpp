#include "x_library.h"

#include "hosts/common/host_error.h"

#include <dlfcn.h>

namespace kavet::cli {

namespace {

XLibrary load() {
    dlerror();
    void* library = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = dlerror();
        throw host::HostError(std::string("libX11 cannot be loaded: ") +
                              (why != nullptr ? why : "unknown reason"));
    }
    XLibrary x;
#define KAVET_CLI_XLIB_BIND(name)                                                                  \
    x.name = reinterpret_cast<decltype(x.name)>(dlsym(library, #name));                            \
    if (x.name == nullptr) {                                                                       \
        dlclose(library);                                                                          \
        throw host::HostError("libX11 has no " #name);                                             \
    }
    KAVET_CLI_XLIB_FUNCTIONS(KAVET_CLI_XLIB_BIND)
#undef KAVET_CLI_XLIB_BIND
    return x; // the library stays loaded: its functions are used until the process ends
}

} // namespace

const XLibrary& xLibrary() {
    static const XLibrary x = load(); // a throw leaves it unset, to be tried again
    return x;
}

} // namespace kavet::cli
