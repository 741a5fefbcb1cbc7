// kavet process IN OUT [options]: one file through the strip.
#include "arguments.h"
#include "commands.h"
#include "param_values.h"
#include "process_job.h"
#include "usage_error.h"

#include <map>

namespace kavet::cli {

namespace {

struct ProcessOptions {
    ProcessJob job;
    std::map<int, float> settings; // by parameter index; a repeated option counts last
};

std::vector<OptionSpec> processOptionSpecs(ProcessOptions& o) {
    auto set = [&o](int index, float value) { o.settings[index] = value; };
    return {
        {"--plugin", true, [&o](const std::string& v) { o.job.plugin = v; }},
        {"--gain", true,
         [set](const std::string& v) { set(kGain, gainToNormalised(readGainDb("--gain", v))); }},
        {"--trim", true,
         [set](const std::string& v) { set(kTrim, trimToNormalised(readTrimDb("--trim", v))); }},
        {"--pan", true,
         [set](const std::string& v) { set(kPan, panToNormalised(readPanPercent("--pan", v))); }},
        {"--phase", false, [set](const std::string&) { set(kPhase, 1.0f); }},
        {"--mute", false, [set](const std::string&) { set(kMute, 1.0f); }},
        {"--bypass", false, [set](const std::string&) { set(kBypass, 1.0f); }},
        {"--block", true,
         [&o](const std::string& v) { o.job.blockSize = readBlockSize("--block", v); }},
        {"--double", false, [&o](const std::string&) { o.job.useDouble = true; }},
    };
}

} // namespace

void runProcess(const std::vector<std::string>& args) {
    ProcessOptions options;
    const auto positional = parseArguments(args, processOptionSpecs(options));
    if (positional.size() < 2) throw UsageError("process needs an input file and an output file");
    if (positional.size() > 2)
        throw UsageError("process: unexpected argument '" + positional[2] + "'");
    options.job.input = positional[0];
    options.job.output = positional[1];
    for (const auto& [index, value] : options.settings)
        options.job.settings.push_back({index, value});
    const ProcessResult result = runProcessJob(options.job);
    printProcessResult(options.job, result);
}

} // namespace kavet::cli
