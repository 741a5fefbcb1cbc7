#include "x11/xlib.h"

#include <dlfcn.h>

#include <mutex>

namespace kavet::x11 {
namespace {

template <typename F> bool bind(void* library, const char* name, F& out) {
    out = reinterpret_cast<F>(dlsym(library, name));
    return out != nullptr;
}

Xlib* load() {
    void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (!x11) return nullptr;
    static Xlib lib;
    bool ok = true;
#define KAVET_XLIB_BIND(name) ok = bind(x11, #name, lib.name) && ok;
    KAVET_XLIB_FUNCTIONS(KAVET_XLIB_BIND)
#undef KAVET_XLIB_BIND
    if (!ok) {
        dlclose(x11);
        return nullptr;
    }
    bind(x11, "XSetIOErrorExitHandler", lib.XSetIOErrorExitHandler);
    if (void* ext = dlopen("libXext.so.6", RTLD_NOW | RTLD_LOCAL)) {
        bool shm = true;
#define KAVET_XSHM_BIND(name) shm = bind(ext, #name, lib.name) && shm;
        KAVET_XSHM_FUNCTIONS(KAVET_XSHM_BIND)
#undef KAVET_XSHM_BIND
        lib.hasShm = shm;
    }
    return &lib;
}

} // namespace

const Xlib* xlib() {
    static std::once_flag once;
    static Xlib* lib = nullptr;
    std::call_once(once, [] { lib = load(); });
    return lib;
}

} // namespace kavet::x11
