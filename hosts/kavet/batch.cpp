#include "batch.h"

#include "hosts/common/host_error.h"
#include "progress.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <thread>

namespace kavet::cli {

namespace fs = std::filesystem;

namespace {

bool isAudioName(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".wav" || extension == ".aif" || extension == ".aiff" ||
           extension == ".flac";
}

// The audio files of a folder, sorted, each with its path relative to the folder.
std::vector<std::pair<fs::path, fs::path>> folderFiles(const fs::path& folder, bool recursive) {
    std::vector<std::pair<fs::path, fs::path>> files;
    const auto take = [&](const fs::directory_entry& entry) {
        std::error_code ec;
        if (entry.is_regular_file(ec) && isAudioName(entry.path()))
            files.emplace_back(entry.path(), entry.path().lexically_relative(folder));
    };
    if (recursive)
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            take(entry);
    else
        for (const auto& entry : fs::directory_iterator(folder))
            take(entry);
    std::sort(files.begin(), files.end());
    return files;
}

BatchItem item(const ProcessJob& settings, const fs::path& input, const fs::path& output) {
    BatchItem result{settings, std::nullopt, {}};
    result.job.input = input.string();
    result.job.output = output.string();
    return result;
}

void runItem(BatchItem& item) {
    try {
        std::error_code ec;
        fs::create_directories(fs::path(item.job.output).parent_path(), ec);
        item.result = runProcessJob(item.job);
    } catch (const std::exception& e) {
        item.error = e.what();
    } catch (...) {
        item.error = "failed"; // a worker must not end before the batch does
    }
}

} // namespace

std::vector<BatchItem> planBatch(const std::vector<std::string>& inputs, const std::string& outDir,
                                 bool recursive, const ProcessJob& settings) {
    std::vector<BatchItem> items;
    const fs::path out(outDir);
    for (const std::string& input : inputs) {
        std::error_code ec;
        if (!fs::is_directory(input, ec)) {
            items.push_back(item(settings, input, out / fs::path(input).filename()));
            continue;
        }
        try {
            for (const auto& [file, relative] : folderFiles(input, recursive))
                items.push_back(item(settings, file, out / relative));
        } catch (const fs::filesystem_error& e) {
            BatchItem failed = item(settings, input, out);
            failed.error = "cannot list '" + input + "': " + e.code().message();
            items.push_back(std::move(failed));
        }
    }
    std::map<std::string, std::string> claimed; // output path -> the input it is for
    for (BatchItem& i : items) {
        if (!i.error.empty()) continue;
        const std::string key = fs::weakly_canonical(i.job.output).string();
        const auto [at, fresh] = claimed.emplace(key, i.job.input);
        if (!fresh) i.error = "'" + at->second + "' writes the same output, '" + i.job.output + "'";
    }
    return items;
}

void runBatch(std::vector<BatchItem>& items, unsigned workers) {
    std::atomic<std::uint64_t> done{0};
    std::uint64_t total = 0;
    for (BatchItem& i : items) {
        i.job.sharedProgress = &done;
        if (!i.error.empty()) continue;
        try {
            total += passFrames(i.job, InputFile(i.job.input).shape());
        } catch (const std::exception&) {
            // it fails again, with its message, when its turn comes
        }
    }
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> finished{0};
    const auto work = [&] {
        for (std::size_t k; (k = next.fetch_add(1)) < items.size(); finished.fetch_add(1))
            if (items[k].error.empty()) runItem(items[k]);
    };
    std::vector<std::thread> threads;
    for (unsigned w = 0; w < std::max(1u, workers); ++w)
        threads.emplace_back(work);
    Progress progress(total);
    while (finished.load() < items.size()) {
        progress.update(done.load(std::memory_order_relaxed));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    for (std::thread& t : threads)
        t.join();
    progress.clear();
}

std::size_t printBatchSummary(const std::vector<BatchItem>& items) {
    std::size_t failed = 0;
    std::printf("%-40s %9s %9s %9s %9s\n", "file", "in LUFS", "out LUFS", "out dBTP", "gain dB");
    for (const BatchItem& i : items) {
        const std::string name = i.job.input;
        if (!i.result) {
            ++failed;
            std::printf("%-40s FAILED: %s\n", name.c_str(), i.error.c_str());
            continue;
        }
        const ProcessResult& r = *i.result;
        const std::string gain = r.plan ? formatDb(r.plan->appliedDb) : "      -";
        std::string note;
        if (r.plan && (r.plan->peakLimited || r.plan->rangeLimited)) {
            char text[96];
            std::snprintf(text, sizeof text, "   %.2f LU short (%s)", r.plan->shortfallLu(),
                          r.plan->peakLimited ? "true-peak ceiling" : "gain range");
            note = text;
        }
        std::printf("%-40s   %s   %s   %s   %s%s\n", name.c_str(),
                    formatDb(r.input.loudness.integrated).c_str(),
                    formatDb(r.output.loudness.integrated).c_str(),
                    formatDb(r.output.loudness.maxTruePeak()).c_str(), gain.c_str(), note.c_str());
    }
    std::printf("%zu file(s): %zu written, %zu failed\n", items.size(), items.size() - failed,
                failed);
    return failed;
}

} // namespace kavet::cli
