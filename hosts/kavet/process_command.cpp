// kavet process IN OUT [options]: one file through the strip.
#include "arguments.h"
#include "commands.h"
#include "process_job.h"
#include "strip_options.h"
#include "usage_error.h"

#include <map>

namespace kavet::cli {

namespace {

struct ProcessOptions {
    ProcessJob job;
    std::map<int, float> settings; // by parameter index; a repeated option counts last
};

std::vector<OptionSpec> processOptionSpecs(ProcessOptions& o) {
    // Pan is checked against the module once it is loaded (EffectRack::start).
    std::vector<OptionSpec> options =
        stripSettingOptions([&o](int index, float value) { o.settings[index] = value; }, true);
    options.insert(options.end(),
                   {{"--plugin", true, [&o](const std::string& v) { o.job.plugin = v; }},
                    {"--block", true,
                     [&o](const std::string& v) { o.job.blockSize = readBlockSize("--block", v); }},
                    {"--double", false, [&o](const std::string&) { o.job.useDouble = true; }}});
    return options;
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
