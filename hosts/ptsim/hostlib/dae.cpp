// Stand-in for the host library DAE.DLL: keeps the open and close procedures a module
// offers while it loads, for the simulated host to call.
#include "stand_in.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

PtOpenCloseProc lastOpen = nullptr;
PtOpenCloseProc lastClose = nullptr;
bool offered = false;

} // namespace

EXPORT void SetPlugInOpenAndCloseProcs(PtOpenCloseProc open, PtOpenCloseProc close) {
    lastOpen = open;
    lastClose = close;
    offered = true;
}

EXPORT int32_t PtsimDaeTakeProcs(PtOpenCloseProc* open, PtOpenCloseProc* close) {
    if (!offered) return 0;
    if (open) *open = lastOpen;
    if (close) *close = lastClose;
    offered = false;
    return 1;
}
