#include "cli_runner.h"

namespace kavet::test {

ProgramRun runKavet(const std::vector<std::string>& args, const std::string& cwd) {
    std::vector<std::string> argv{KAVET_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv, {cwd});
}

} // namespace kavet::test
