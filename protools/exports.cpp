// The four exports of a host-format module (C linkage). Everything else stays hidden.
#include "module_state.h"

#include "protools/framework/routine_table.h"

// PT_EXPORT is set by the build: default visibility on ELF, nothing where a
// module-definition file lists the exports.
#ifndef PT_EXPORT
#define PT_EXPORT
#endif

extern "C" {

PT_EXPORT std::int16_t NewPlugIn() {
    return kavet::pt::NewPlugIn();
}

PT_EXPORT std::int16_t WinPlugInOpen(std::int32_t hostVersion) {
    return kavet::pt::WinPlugInOpen(hostVersion);
}

PT_EXPORT std::int16_t WinPlugInClose() {
    return kavet::pt::CloseProcedure();
}

// The framework's routine table; the adaptor adds nothing to it.
PT_EXPORT const PtRoutineTable* _PI_GetRoutineDescriptor(std::int32_t interfaceVersion) {
    return ptfw::GetRoutineDescriptor(interfaceVersion);
}

} // extern "C"
