// kavet process --json FILE: every figure measured, per file and channel, before and after
// the strip, with the settings used, for scripts. Written through a pending file.
#pragma once

#include "pending_file.h"
#include "process_job.h"

#include <string>
#include <vector>

namespace kavet::cli {

struct ReportEntry {
    const ProcessJob* job;       // input, output and options
    const ProcessResult* result; // null when the file failed
    std::string error;           // why it failed
};

std::string jsonReport(const std::vector<ReportEntry>& entries);
// Writes into `file` (made before the run) and commits it. Throws HostError.
void writeJsonReport(PendingFile& file, const std::vector<ReportEntry>& entries);

} // namespace kavet::cli
