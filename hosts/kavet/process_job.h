// Processing one audio file through a module (VST 2.4, VST 3 or host format) or an LV2
// plug-in, block by block, into a new file.
#pragma once

#include "audio_file.h"
#include "effect_rack.h"
#include "levels.h"
#include "normalize.h"
#include "signal_analysis.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kavet::cli {

struct ProcessJob {
    std::string input;
    std::string output;
    std::string plugin; // empty: the module beside the executable that fits the file
    std::vector<ParamSetting> settings;
    int blockSize = 512;
    bool useDouble = false;
    // Measure the input first, then set the fader and trim to reach this loudness (the
    // settings then hold no gain or trim of their own).
    std::optional<NormalizeTarget> normalize;
    bool trace = false; // keep the levels over time (for a plot)
    // Batch runs: frames done are added here and no bar of its own is drawn.
    std::atomic<std::uint64_t>* sharedProgress = nullptr;
};

struct ProcessResult {
    AudioShape shape;
    std::string modulePath;
    std::string product;
    std::size_t instances = 0;
    std::vector<ChannelLevel> in;
    std::vector<ChannelLevel> out;
    SignalFigures input; // levels, loudness and (with trace) the levels over time
    SignalFigures output;
    std::optional<NormalizePlan> plan;
    int ballistics = 0;                 // the meter preference the trace follows
    std::vector<ParamSetting> settings; // as the instances started, normalising included
};

// The frames that the job's passes over the file go through (the progress it reports).
std::uint64_t passFrames(const ProcessJob& job, const AudioShape& shape);

// Runs the job. Throws HostError; the output file exists only when this returns.
ProcessResult runProcessJob(const ProcessJob& job);

// The summary and the level table on standard output.
void printProcessResult(const ProcessJob& job, const ProcessResult& result);

} // namespace kavet::cli
