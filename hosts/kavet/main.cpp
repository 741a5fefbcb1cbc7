// kavet: the command-line offline host of the Velmorant Kavet modules: VST 2.4, VST 3, host
// format and LV2.
#include "commands.h"
#include "editor_picture.h"
#include "pending_file.h"
#include "usage_error.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

constexpr int kFailed = 1;
constexpr int kBadCommandLine = 2;

int run(const std::vector<std::string>& words) {
    using namespace kavet::cli;
    if (words.empty()) throw UsageError("no command given (try 'kavet help')");
    const std::string& command = words[0];
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (command == "info")
        runInfo(args);
    else if (command == "process")
        runProcess(args);
    else if (command == "demo")
        runDemo(args);
    else if (command == "editor")
        runEditor(args);
    else if (command == "help" || command == "--help" || command == "-h")
        printUsage();
    else
        throw UsageError("unknown command '" + command + "' (try 'kavet help')");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    kavet::cli::removePendingFilesOnSignals();
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const kavet::cli::UsageError& e) {
        std::fprintf(stderr, "kavet: %s\n", e.what());
        return kBadCommandLine;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "kavet: out of memory\n");
        return kFailed;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kavet: %s\n", e.what());
        return kFailed;
    }
}
