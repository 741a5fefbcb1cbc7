// kavet process IN... -o DIR: many files, each through an instance of its own, on every
// core at once (one worker per hardware thread), with one progress bar for the batch.
#pragma once

#include "process_job.h"

#include <optional>
#include <string>
#include <vector>

namespace kavet::cli {

struct BatchItem {
    ProcessJob job; // input and output filled in
    std::optional<ProcessResult> result;
    std::string error; // why the file failed (result empty)
};

// The files of `inputs` (files, or folders: their audio files, .wav, .aif, .aiff and
// .flac in any case, with `recursive` those in every subfolder too) paired with their
// outputs in `outDir` (a folder's files keep their path below it). Names that cannot be
// read, or two inputs meant for the same output, become failed items.
std::vector<BatchItem> planBatch(const std::vector<std::string>& inputs, const std::string& outDir,
                                 bool recursive, const ProcessJob& settings);

// Runs every item that has not failed yet on `workers` threads (at least one). An item's
// failure is kept in it and never stops the others.
void runBatch(std::vector<BatchItem>& items, unsigned workers);

// The summary table on standard output; answers the number of failed files.
std::size_t printBatchSummary(const std::vector<BatchItem>& items);

} // namespace kavet::cli
