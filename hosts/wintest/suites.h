// The groups of checks that the Windows test host runs against a VST module, mono or stereo.
#pragma once

#include "check.h"
#include "plugin_module.h"

// What the module under test must be: the configuration is named on the command line, never
// read from the module, so a module of the other configuration fails the checks.
struct ModuleFacts {
    const char* product;
    VstInt32 uniqueID;
    int channels; // inputs and outputs alike
    int params;   // the stereo build adds Pan (index 5)
    VstInt32 flags;
    int chunkBytes; // parameter words, two editor words, seven preference words; 4 bytes each
    int prefsWord;  // the first preference word of the chunk
};

extern const ModuleFacts kMonoFacts;
extern const ModuleFacts kStereoFacts;

struct Context {
    Checker& check;
    const PluginModule& module;
    const ModuleFacts& facts;
    bool freshPrefix; // the registry is the test's own: the host may write and delete
};

void checkEntry(Context& ctx);
void checkRecord(Context& ctx);
void checkTexts(Context& ctx);
void checkAudio(Context& ctx);
void checkChunk(Context& ctx);
void checkStoredPrefs(Context& ctx);
// 32-bit x86 only: see stack_call.h.
void checkStackAlignment(Context& ctx);
