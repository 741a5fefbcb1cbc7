// kavet-wintest --vst3: the VST 3 module's checks against the VST 2.4 module of the same
// build and configuration (suite_vst3.cpp).
#pragma once

#include "check.h"
#include "plugin_module.h"

// Runs the checks on the VST 3 module at `path` (its bundle or its binary) for the stereo
// or the mono configuration; answers the process's exit status.
int runVst3Suite(Checker& check, const PluginModule& vst2, const char* path, bool stereo);
