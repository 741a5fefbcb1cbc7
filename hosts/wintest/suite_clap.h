// kavet-wintest --clap: the CLAP module's checks against the VST 2.4 module of the same build
// and configuration (suite_clap.cpp).
#pragma once

#include "check.h"
#include "plugin_module.h"

// Runs the checks on the CLAP module at `path` for the stereo or the mono configuration;
// answers the process's exit status.
int runClapSuite(Checker& check, const PluginModule& vst2, const char* path, bool stereo);
