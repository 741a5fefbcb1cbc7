/* The host libraries as a plug-in reaches them: "DigiExt.dll" (resource files, drawing
 * ports) and "DAE.DLL" (the open and close procedures), found at run time among the modules
 * already loaded into the host process and looked up by name. The function types are shared
 * with the simulated host's stand-ins for these libraries. */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define PT_DAE_LIBRARY "DAE.DLL"
#define PT_DIGIEXT_LIBRARY "DigiExt.dll"

/* DAE.DLL */
typedef int16_t (*PtOpenCloseProc)(void);
typedef void (*PtSetPlugInOpenAndCloseProcs)(PtOpenCloseProc open, PtOpenCloseProc close);
#define PT_SET_OPEN_CLOSE_PROCS "SetPlugInOpenAndCloseProcs"

/* DigiExt.dll. Resources are stored most significant byte first; the library calls the
 * plug-in's byte-order callback with each resource's kind and bytes; the callback answers 1
 * for a kind it put into host order, 0 for one it left alone. */
typedef int32_t (*PtByteOrderCallback)(uint32_t kind, void* bytes);
/* Answers a registration number (> 0), or 0 when the file cannot be registered. */
typedef int32_t (*PtRegisterResourceFile)(const char* path, PtByteOrderCallback swapper);
typedef void (*PtUnregisterResourceFile)(int32_t registration);
/* The window of a host drawing port, or null. */
typedef void* (*PtPortToWindow)(void* port);
#define PT_REGISTER_RESOURCE_FILE "RegisterResourceFile"
#define PT_UNREGISTER_RESOURCE_FILE "UnregisterResourceFile"
#define PT_PORT_TO_WINDOW "PortToWindow"

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
namespace ptfw::hostlib {

/* Hands the procedures to DAE.DLL's registration entry; false when DAE.DLL or its entry is
 * not loaded. */
bool OfferOpenAndCloseProcs(PtOpenCloseProc open, PtOpenCloseProc close);
/* DigiExt's resource-file registration; 0 when DigiExt is not loaded or refused the file. */
int32_t RegisterResourceFile(const char* path, PtByteOrderCallback swapper);
void UnregisterResourceFile(int32_t registration);
/* DigiExt's port-to-window conversion; null when DigiExt is not loaded. */
void* PortToWindow(void* port);

} // namespace ptfw::hostlib
#endif
