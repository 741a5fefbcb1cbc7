// The module entry where the loader has no DllMain: a static object of the module, built
// when the loader maps it and destroyed when it unmaps it. Such a loader cannot be asked to
// refuse the module, so a failed attach leaves it loaded without a group (every routine
// then answers "no group").
#include "module_state.h"

namespace {

struct LoadHook {
    LoadHook() {
        HMODULE self = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&kavet::pt::Module), &self);
        kavet::pt::ModuleAttach(self);
    }
    ~LoadHook() { kavet::pt::ModuleDetach(); }
};

const LoadHook hook;

} // namespace
