// Runs a program of the system's LV2 tools (or kavet) as a user does and collects what it
// prints.
#pragma once

#include "child_process.h"

namespace kavet::test {

// Runs `argv` (argv[0] a path) with LV2_PATH set to the build's bundle folder (and, in a
// sanitizer build, the sanitizers' run-time libraries preloaded); standard output and
// standard error together in `out`.
ProgramRun runTool(const std::vector<std::string>& argv);

} // namespace kavet::test
