// The commands of the kavet tool. Each takes the arguments after the command's name,
// prints its results on standard output and throws HostError (UsageError for a bad
// command line) on failure.
#pragma once

#include <string>
#include <vector>

namespace kavet::cli {

void runInfo(const std::vector<std::string>& args);
void runProcess(const std::vector<std::string>& args);
void runDemo(const std::vector<std::string>& args);
void printUsage();

} // namespace kavet::cli
