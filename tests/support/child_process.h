// Programs started as a person starts them from a terminal, run to their end with what they
// print kept, and the scratch folders they work in.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kavet::test {

struct ProgramRun {
    int exitCode = -1; // -1 when the program did not exit normally
    int signal = 0;    // the signal that ended it, or 0
    std::string out;   // standard output (and standard error, when merged)
    std::string err;   // standard error when not merged
};

struct ProgramSetting {
    std::string cwd;                                        // "" for the test's own
    std::vector<std::pair<std::string, std::string>> env{}; // set in the program's environment
    bool mergeErr = false; // standard error into `out`, in the order printed
};

// argv[0] is the program's path. Throws when the program cannot be started at all.
ProgramRun runProgram(const std::vector<std::string>& argv, const ProgramSetting& setting = {});

// A new empty folder under the system's temporary folder, removed with what it holds.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // The names of the entries, hidden ones included, sorted.
    std::vector<std::string> names() const;

private:
    std::string path_;
};

} // namespace kavet::test
