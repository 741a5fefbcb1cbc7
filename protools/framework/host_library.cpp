#include "host_library.h"

#include <windows.h>

namespace ptfw::hostlib {

namespace {

template <typename Function> Function Find(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    if (module == nullptr) return nullptr;
    // Through the generic function type, which any function pointer may be cast from.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace

bool OfferOpenAndCloseProcs(PtOpenCloseProc open, PtOpenCloseProc close) {
    auto set = Find<PtSetPlugInOpenAndCloseProcs>(PT_DAE_LIBRARY, PT_SET_OPEN_CLOSE_PROCS);
    if (set == nullptr) return false;
    set(open, close);
    return true;
}

int32_t RegisterResourceFile(const char* path, PtByteOrderCallback swapper) {
    auto reg = Find<PtRegisterResourceFile>(PT_DIGIEXT_LIBRARY, PT_REGISTER_RESOURCE_FILE);
    return reg ? reg(path, swapper) : 0;
}

void UnregisterResourceFile(int32_t registration) {
    if (registration == 0) return;
    auto unreg = Find<PtUnregisterResourceFile>(PT_DIGIEXT_LIBRARY, PT_UNREGISTER_RESOURCE_FILE);
    if (unreg) unreg(registration);
}

void* PortToWindow(void* port) {
    auto convert = Find<PtPortToWindow>(PT_DIGIEXT_LIBRARY, PT_PORT_TO_WINDOW);
    return convert ? convert(port) : nullptr;
}

} // namespace ptfw::hostlib
