/* What the simulated host reads back from its stand-ins for the host libraries
 * (DAE.DLL, DigiExt.dll): the procedures and resource files the module handed them. */
#pragma once

#include "protools/framework/host_library.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define PTSIM_PATH_BYTES 512

typedef struct PtsimRegistration {
    int32_t id;
    char path[PTSIM_PATH_BYTES];
    PtByteOrderCallback swapper;
    int32_t active; /* 0 once withdrawn */
} PtsimRegistration;

/* DAE.DLL: the procedures of the last SetPlugInOpenAndCloseProcs call since the last take;
 * answers 0 when there was none. */
typedef int32_t (*PtsimDaeTakeProcsProc)(PtOpenCloseProc* open, PtOpenCloseProc* close);
#define PTSIM_DAE_TAKE_PROCS "PtsimDaeTakeProcs"

/* DigiExt.dll: every registration so far, withdrawn ones included, oldest first. */
typedef int32_t (*PtsimDigiExtRegistrationCountProc)(void);
typedef int32_t (*PtsimDigiExtRegistrationProc)(int32_t index, PtsimRegistration* out);
#define PTSIM_DIGIEXT_COUNT "PtsimDigiExtRegistrationCount"
#define PTSIM_DIGIEXT_GET "PtsimDigiExtRegistration"

/* A drawing port of the simulated host: a record whose first field is its window. */
typedef struct PtsimPort {
    void* window;
} PtsimPort;

#ifdef __cplusplus
}
#endif
