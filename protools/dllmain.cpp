// The module entry of the Windows builds.
#include "module_state.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) return kavet::pt::ModuleAttach(instance) ? TRUE : FALSE;
    if (reason == DLL_PROCESS_DETACH) kavet::pt::ModuleDetach();
    return TRUE;
}
