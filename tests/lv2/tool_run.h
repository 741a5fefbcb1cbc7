// Runs a program of the system's LV2 tools (or kavet) as a user does and collects what it
// prints, and a scratch folder for its files.
#pragma once

#include <string>
#include <vector>

namespace kavet::test {

struct ToolRun {
    int exitCode = -1; // -1 when the program did not exit normally
    std::string out;   // standard output and standard error together
};

// Runs `argv` (argv[0] a path) with LV2_PATH set to the build's bundle folder (and, in a
// sanitizer build, the sanitizers' run-time libraries preloaded).
ToolRun runTool(const std::vector<std::string>& argv);

// A new empty folder, removed with its contents at the end of the scope.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace kavet::test
