// The groups of checks that the Windows test host runs against the mono VST module.
#pragma once

#include "check.h"
#include "plugin_module.h"

struct Context {
    Checker& check;
    const PluginModule& module;
    bool freshPrefix; // the registry is the test's own: the host may write and delete
};

void checkEntry(Context& ctx);
void checkRecord(Context& ctx);
void checkTexts(Context& ctx);
void checkAudio(Context& ctx);
void checkChunk(Context& ctx);
void checkStoredPrefs(Context& ctx);
void checkStackAlignment(Context& ctx);
