// Runs the built kavet tool as a user would and collects what it reports.
#pragma once

#include <string>
#include <vector>

namespace kavet::test {

struct CliRun {
    int exitCode = -1; // -1 when the process died of a signal
    int signal = 0;    // the signal, or 0
    std::string out;
    std::string err;
};

// Runs kavet with `args` in the folder `cwd` (the test's current folder when empty).
CliRun runKavet(const std::vector<std::string>& args, const std::string& cwd = "");

// A new empty folder, removed with its contents at the end of the scope.
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
