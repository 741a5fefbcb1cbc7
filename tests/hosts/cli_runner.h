// Runs the built kavet tool as a user would and collects what it reports.
#pragma once

#include "child_process.h"

namespace kavet::test {

// Runs kavet with `args` in the folder `cwd` (the test's current folder when empty).
ProgramRun runKavet(const std::vector<std::string>& args, const std::string& cwd = "");

} // namespace kavet::test
