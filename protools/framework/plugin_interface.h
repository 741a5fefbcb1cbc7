/* The binary interface between a host and a host-format module, beyond the module's four
 * exports. The host asks `_PI_GetRoutineDescriptor(kPtInterfaceVersion)` for the routine
 * table below and drives the plug-in group and its processes through it; the module calls
 * the host back through PtHostCallbacks. Plain C types only: nothing of either side's C++
 * objects crosses. Every routine answers a status (0, or a negative framework or host error
 * number) unless it says otherwise, and never lets an exception out. */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define PT_INTERFACE_VERSION 2
#define PT_NAME_BYTES 256 /* name lists: longest name first, "\n" between names */
#define PT_MAX_CODES 16
#define PT_METER_CHANNELS 48 /* the most output channels a process meters */

typedef struct PtProcess PtProcess; /* opaque: one inserted instance */

/* Exports of a module (C linkage). */
typedef int16_t (*PtNewPlugInProc)(void);
typedef int16_t (*PtWinPlugInOpenProc)(int32_t hostVersion);
typedef int16_t (*PtWinPlugInCloseProc)(void);
typedef const struct PtRoutineTable* (*PtGetRoutineDescriptorProc)(int32_t interfaceVersion);

typedef struct PtGroupInfo {
    char manufacturerNames[PT_NAME_BYTES];
    uint32_t manufacturerCode;
    char productNames[PT_NAME_BYTES];
    int32_t productVersion; /* the integer stored with the product names */
    int32_t capabilityCount;
    int32_t capabilities[PT_MAX_CODES];
    int32_t midiCapable;
    int32_t typeCount;
} PtGroupInfo;

enum { kPtTypeKindRTAS = 1 };

typedef struct PtTypeInfo {
    int32_t kind;
    uint32_t typeCode;
    uint32_t productCode;
    uint32_t category;
    char typeNames[PT_NAME_BYTES];
    int32_t generalOptions;
    int32_t featureSelectorCount;
    int32_t featureSelectors[PT_MAX_CODES];
    int32_t inputStem; /* 0 mono, 1 stereo */
    int32_t outputStem;
    int32_t sideChainStem; /* 0 none */
    char pageTableName[64];
} PtTypeInfo;

typedef struct PtControlInfo {
    uint32_t id;
    char name[32];
    int32_t continuous;
    int32_t automatable;
    int32_t numSteps;
    int32_t defaultValue; /* control values */
    double minimum;       /* continuous controls; 0 and count-1 for discrete ones */
    double maximum;
} PtControlInfo;

typedef struct PtChunkInfo {
    uint32_t id;
    char name[32];
    uint32_t dataBytes; /* registered size of the data, header not counted */
} PtChunkInfo;

/* Called by the module on the thread of the event (normally the user-interface thread). */
typedef struct PtHostCallbacks {
    void* context;
    /* The plug-in set a control (editor gesture): the host records automation. */
    void (*controlChanged)(void* context, PtProcess* process, int32_t index, int32_t value);
    void (*controlTouched)(void* context, PtProcess* process, int32_t index);
    void (*controlReleased)(void* context, PtProcess* process, int32_t index);
} PtHostCallbacks;

/* How the host inserts an instance. */
typedef struct PtProcessSetup {
    int32_t sampleRate; /* Hz, the session's rate when the instance is created */
    int32_t inputs;     /* channel counts; negative: those of the type's stem formats */
    int32_t outputs;
    const PtHostCallbacks* callbacks; /* may be null; copied */
} PtProcessSetup;

/* A rectangle of the plug-in's view in the host's window, pixels. */
typedef struct PtViewRect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
} PtViewRect;

typedef struct PtRoutineTable {
    int32_t version; /* PT_INTERFACE_VERSION */

    int32_t (*getGroupInfo)(PtGroupInfo* out);
    int32_t (*getTypeInfo)(int32_t typeIndex, PtTypeInfo* out);

    int32_t (*newProcess)(int32_t typeIndex, const PtProcessSetup* setup, PtProcess** out);
    void (*deleteProcess)(PtProcess* process);
    /* The session's rate changed; kept by the framework, the plug-in is not told. */
    int32_t (*setSampleRate)(PtProcess* process, int32_t sampleRate);
    int32_t (*getSampleRate)(PtProcess* process, int32_t* out);
    /* The connections changed (channel counts at most 256 each). */
    int32_t (*setChannelCounts)(PtProcess* process, int32_t inputs, int32_t outputs);

    /* [audio thread] */
    void (*render)(PtProcess* process, float** inputs, float** outputs, int32_t frames);
    /* Writes one value and one clip byte per metered output channel into arrays of
     * `capacity` entries; answers the channel count (or a negative status). */
    int32_t (*getMeters)(PtProcess* process, int32_t* values, char* clips, int32_t capacity);
    int32_t (*getClipIndicator)(PtProcess* process); /* 1 once set, until cleared */
    void (*clearClipIndicator)(PtProcess* process);

    /* Controls, 1-based. */
    int32_t (*getControlCount)(PtProcess* process);
    int32_t (*getControlInfo)(PtProcess* process, int32_t index, PtControlInfo* out);
    int32_t (*getControlValue)(PtProcess* process, int32_t index, int32_t* out);
    /* A host edit or automation playback: the plug-in follows; no controlChanged echo. */
    int32_t (*setControlValue)(PtProcess* process, int32_t index, int32_t value);
    int32_t (*getControlText)(PtProcess* process, int32_t index, int32_t value, char* text,
                              int32_t size);
    int32_t (*getMasterBypassIndex)(PtProcess* process);  /* 0 when none */
    int32_t (*setBypass)(PtProcess* process, int32_t on); /* the host's bypass button */
    int32_t (*getBypass)(PtProcess* process);

    /* Chunks. Records are SFicPlugInChunk: a 56-byte header, then the data. */
    int32_t (*getChunkCount)(PtProcess* process);
    int32_t (*getChunkInfo)(PtProcess* process, int32_t index, PtChunkInfo* out);
    int32_t (*getChunk)(PtProcess* process, uint32_t id, void* record, uint32_t capacity);
    int32_t (*setChunk)(PtProcess* process, uint32_t id, const void* record, uint32_t bytes);

    /* The host starts rendering from a stop (offline from the start of a file): the
     * algorithm takes its current settings at once instead of gliding to them. Not while
     * rendering. */
    int32_t (*resetAlgorithm)(PtProcess* process);

    /* The plug-in's view in the host's plug-in window (user-interface thread). A host shows
     * it by asking its size, creating it, then attaching a drawing port (a host port that
     * DigiExt's port-to-window conversion turns into the window the view lives in); null
     * detaches the port. kErrNoView answers a process that has no view to show. Failures
     * of the window system come back as negative system error numbers. */
    int32_t (*getViewRect)(PtProcess* process, PtViewRect* out);
    int32_t (*createView)(PtProcess* process, PtViewRect* out); /* out: the root's extent */
    int32_t (*setViewPort)(PtProcess* process, void* port);
    int32_t (*drawView)(PtProcess* process, const PtViewRect* area);
    /* Periodic idle while the view is shown (user-interface thread). */
    int32_t (*idleView)(PtProcess* process);
    /* Detaches the port if one is attached, then destroys the view. */
    int32_t (*disposeView)(PtProcess* process);
} PtRoutineTable;

#ifdef __cplusplus
}
#endif
