#include "drawglobals.h"

namespace toolkit {

bool gSwapMouseButtons = false;
TransparentBltProc gTransparentBlt = nullptr;
AlphaBlendProc gAlphaBlend = nullptr;

namespace {

HINSTANCE moduleInstance = nullptr;

// Any address inside this module identifies it.
void moduleAnchor() {}

} // namespace

HINSTANCE getModuleInstance() {
    if (moduleInstance == nullptr) {
        HMODULE own = nullptr;
        auto address = reinterpret_cast<LPCSTR>(&moduleAnchor);
        if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               address, &own)) {
            moduleInstance = own;
        }
    }
    return moduleInstance;
}

void setModuleInstance(HINSTANCE instance) {
    moduleInstance = instance;
}

} // namespace toolkit
