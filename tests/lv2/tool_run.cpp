#include "tool_run.h"

namespace kavet::test {

ProgramRun runTool(const std::vector<std::string>& argv) {
    ProgramSetting setting{"", {{"LV2_PATH", KAVET_LV2_PATH}}, true};
    if (KAVET_TOOL_PRELOAD[0] != '\0') {
        // A sanitizer build's modules in a tool built without: the run-time libraries first,
        // and the tool's own leaks are not the modules' (the in-process tests check those).
        setting.env.emplace_back("LD_PRELOAD", KAVET_TOOL_PRELOAD);
        setting.env.emplace_back("ASAN_OPTIONS", "detect_leaks=0");
    }
    return runProgram(argv, setting);
}

} // namespace kavet::test
