// kavet process IN OUT [options]: one file through the strip; kavet process IN... -o DIR:
// many files, on every core.
#include "arguments.h"
#include "batch.h"
#include "commands.h"
#include "hosts/common/host_error.h"
#include "json_report.h"
#include "level_plot.h"
#include "param_values.h"
#include "pending_file.h"
#include "process_job.h"
#include "strip_options.h"
#include "usage_error.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <thread>

namespace kavet::cli {

namespace {

struct ProcessOptions {
    ProcessJob job;
    std::map<int, float> settings; // by parameter index; a repeated option counts last
    std::optional<double> normalize;
    std::optional<double> ceiling;
    std::string plot;
    std::string json;
    std::string outDir;
    bool recursive = false;
};

std::vector<OptionSpec> processOptionSpecs(ProcessOptions& o) {
    // Pan is checked against the module once it is loaded (EffectRack::start).
    std::vector<OptionSpec> options =
        stripSettingOptions([&o](int index, float value) { o.settings[index] = value; }, true);
    options.insert(
        options.end(),
        {{"--plugin", true, [&o](const std::string& v) { o.job.plugin = v; }},
         {"--block", true,
          [&o](const std::string& v) { o.job.blockSize = readBlockSize("--block", v); }},
         {"--double", false, [&o](const std::string&) { o.job.useDouble = true; }},
         {"--normalize", true,
          [&o](const std::string& v) { o.normalize = readLoudnessTarget("--normalize", v); }},
         {"--true-peak-max", true,
          [&o](const std::string& v) { o.ceiling = readTruePeakCeiling("--true-peak-max", v); }},
         {"--plot", true, [&o](const std::string& v) { o.plot = v; }},
         {"--json", true, [&o](const std::string& v) { o.json = v; }},
         {"-o", true, [&o](const std::string& v) { o.outDir = v; }},
         {"-r", false, [&o](const std::string&) { o.recursive = true; }}});
    return options;
}

bool endsWithPng(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".png";
}

// The checks of option combinations, before any file is touched.
void checkOptions(ProcessOptions& o) {
    if (o.normalize) {
        if (o.settings.count(kGain) != 0 || o.settings.count(kTrim) != 0)
            throw UsageError("--normalize sets the gain and the trim: leave out --gain and --trim");
        o.job.normalize = NormalizeTarget{*o.normalize, o.ceiling.value_or(-1.0)};
    } else if (o.ceiling) {
        throw UsageError("--true-peak-max goes with --normalize");
    }
    if (!o.plot.empty() && !endsWithPng(o.plot))
        throw UsageError("--plot: '" + o.plot + "' is not a .png file name");
    if (!o.plot.empty() && !o.outDir.empty())
        throw UsageError("--plot draws one file: leave it out with -o");
    if (o.recursive && o.outDir.empty()) throw UsageError("-r goes with -o DIR");
    for (const auto& [index, value] : o.settings)
        o.job.settings.push_back({index, value});
    o.job.trace = !o.plot.empty();
}

void runOne(ProcessOptions& o, const std::vector<std::string>& positional) {
    if (positional.size() < 2) throw UsageError("process needs an input file and an output file");
    if (positional.size() > 2)
        throw UsageError("process: unexpected argument '" + positional[2] +
                         "' (for many files, name the output folder with -o DIR)");
    o.job.input = positional[0];
    o.job.output = positional[1];
    std::optional<PendingFile> plot, json;
    if (!o.plot.empty()) plot.emplace(o.plot);
    if (!o.json.empty()) json.emplace(o.json);
    const ProcessResult result = runProcessJob(o.job);
    printProcessResult(o.job, result);
    if (plot) writeLevelPlot(*plot, o.job, result);
    if (json) writeJsonReport(*json, {{&o.job, &result, {}}});
}

void runMany(ProcessOptions& o, const std::vector<std::string>& positional) {
    if (positional.empty()) throw UsageError("process -o DIR needs at least one input");
    std::error_code ec;
    std::filesystem::create_directories(o.outDir, ec);
    if (!std::filesystem::is_directory(o.outDir, ec))
        throw host::HostError("'" + o.outDir + "' is not a folder that can be written to");
    std::optional<PendingFile> json;
    if (!o.json.empty()) json.emplace(o.json);
    std::vector<BatchItem> items = planBatch(positional, o.outDir, o.recursive, o.job);
    runBatch(items, std::max(1u, std::thread::hardware_concurrency()));
    const std::size_t failed = printBatchSummary(items);
    if (json) {
        std::vector<ReportEntry> entries;
        for (const BatchItem& i : items)
            entries.push_back({&i.job, i.result ? &*i.result : nullptr, i.error});
        writeJsonReport(*json, entries);
    }
    if (failed > 0)
        throw host::HostError(std::to_string(failed) + " of " + std::to_string(items.size()) +
                              " file(s) failed");
}

} // namespace

void runProcess(const std::vector<std::string>& args) {
    ProcessOptions options;
    const auto positional = parseArguments(args, processOptionSpecs(options));
    checkOptions(options);
    if (options.outDir.empty())
        runOne(options, positional);
    else
        runMany(options, positional);
}

} // namespace kavet::cli
