// Processing one audio file through a module (VST 2.4 or host format), block by block, into
// a new file.
#pragma once

#include "audio_file.h"
#include "effect_rack.h"
#include "levels.h"

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
};

struct ProcessResult {
    AudioShape shape;
    std::string modulePath;
    std::string product;
    std::size_t instances = 0;
    std::vector<ChannelLevel> in;
    std::vector<ChannelLevel> out;
};

// Runs the job. Throws HostError; the output file exists only when this returns.
ProcessResult runProcessJob(const ProcessJob& job);

// The summary and the level table on standard output.
void printProcessResult(const ProcessJob& job, const ProcessResult& result);

} // namespace kavet::cli
