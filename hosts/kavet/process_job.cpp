#include "process_job.h"

#include "hosts/common/host_error.h"
#include "module_paths.h"
#include "plugin_prefs.h"
#include "progress.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>

namespace kavet::cli {

namespace {

// Frames read and written per file access: a whole number of processing blocks, large
// enough that file access costs little per sample.
std::size_t ioFrames(int blockSize) {
    constexpr std::size_t kTarget = 65536;
    const auto block = static_cast<std::size_t>(blockSize);
    return block * std::max<std::size_t>(1, kTarget / block);
}

template <typename Sample> struct Buffers {
    Buffers(int channels, std::size_t frames)
        : interleaved(frames * static_cast<std::size_t>(channels)),
          in(static_cast<std::size_t>(channels), std::vector<Sample>(frames)),
          out(static_cast<std::size_t>(channels), std::vector<Sample>(frames)) {}

    void split(std::size_t frames) {
        const std::size_t channels = in.size();
        for (std::size_t c = 0; c < channels; ++c)
            for (std::size_t i = 0; i < frames; ++i)
                in[c][i] = interleaved[i * channels + c];
    }

    void join(std::size_t frames) {
        const std::size_t channels = out.size();
        for (std::size_t c = 0; c < channels; ++c)
            for (std::size_t i = 0; i < frames; ++i)
                interleaved[i * channels + c] = out[c][i];
    }

    std::vector<Sample> interleaved;
    std::vector<std::vector<Sample>> in;
    std::vector<std::vector<Sample>> out;
};

// Counts frames done: into the batch's shared counter, or on a bar of its own.
class FileProgress {
public:
    // `total`: the frames of every pass over the file (passFrames).
    FileProgress(const ProcessJob& job, std::uint64_t total)
        : shared_(job.sharedProgress), own_(shared_ != nullptr ? 0 : total) {}
    void add(std::size_t frames) {
        done_ += frames;
        if (shared_ != nullptr)
            shared_->fetch_add(frames, std::memory_order_relaxed);
        else
            own_.update(done_);
    }

private:
    std::atomic<std::uint64_t>* shared_;
    Progress own_;
    std::uint64_t done_ = 0;
};

// `inAnalysis` is null when the input was measured before (normalising).
template <typename Sample>
void render(InputFile& input, OutputFile& output, EffectRack& rack, int blockSize,
            SignalAnalysis* inAnalysis, SignalAnalysis& outAnalysis, FileProgress& progress) {
    const AudioShape& shape = input.shape();
    const std::size_t chunk = ioFrames(blockSize);
    Buffers<Sample> buffers(shape.channels, chunk);
    while (const std::size_t frames = input.read(buffers.interleaved.data(), chunk)) {
        if (inAnalysis != nullptr) inAnalysis->add(buffers.interleaved.data(), frames);
        buffers.split(frames);
        for (std::size_t offset = 0; offset < frames;
             offset += static_cast<std::size_t>(blockSize)) {
            const auto count =
                static_cast<int>(std::min(frames - offset, static_cast<std::size_t>(blockSize)));
            rack.process(buffers.in, buffers.out, offset, count);
        }
        buffers.join(frames);
        outAnalysis.add(buffers.interleaved.data(), frames);
        output.write(buffers.interleaved.data(), frames);
        progress.add(frames);
    }
}

// The normalising pass: the input alone, measured as the run would measure it.
SignalFigures measureInput(const ProcessJob& job, int ballistics, FileProgress& progress) {
    InputFile input(job.input);
    const AudioShape& shape = input.shape();
    SignalAnalysis analysis(shape.channels, shape.sampleRate, ballistics);
    std::vector<double> buffer(ioFrames(job.blockSize) * static_cast<std::size_t>(shape.channels));
    const std::size_t chunk = ioFrames(job.blockSize);
    if (job.useDouble) {
        while (const std::size_t frames = input.read(buffer.data(), chunk)) {
            analysis.add(buffer.data(), frames);
            progress.add(frames);
        }
    } else {
        std::vector<float> samples(buffer.size());
        while (const std::size_t frames = input.read(samples.data(), chunk)) {
            analysis.add(samples.data(), frames);
            progress.add(frames);
        }
    }
    return analysis.figures();
}

// Module loading, the preference store, and instance set-up and teardown, one at a time across the
// batch's workers: the module's entry and its preference loading are not made for concurrent calls.
// Processing itself runs in parallel.
std::mutex& instanceLock() {
    static std::mutex lock;
    return lock;
}

std::string chooseModule(const ProcessJob& job, int channels) {
    if (!job.plugin.empty()) return job.plugin;
    return channels == 2 ? defaultStereoModule() : defaultMonoModule();
}

// Minus infinity for a channel with no figure (a result not filled in by a run).
double channelTruePeak(const Loudness& loudness, std::size_t channel) {
    return channel < loudness.truePeak.size() ? loudness.truePeak[channel] : -INFINITY;
}

} // namespace

std::uint64_t passFrames(const ProcessJob& job, const AudioShape& shape) {
    const auto frames = static_cast<std::uint64_t>(std::max<std::int64_t>(shape.frames, 0));
    return job.normalize ? 2 * frames : frames;
}

ProcessResult runProcessJob(const ProcessJob& job) {
    outputFormatFor(job.output); // an unusable output name fails before any work
    InputFile input(job.input);
    const AudioShape shape = input.shape();

    ProcessResult result;
    result.shape = shape;
    result.modulePath = chooseModule(job, shape.channels);
    result.settings = job.settings;
    const PluginPrefs prefs = [] {
        const std::lock_guard<std::mutex> lock(instanceLock()); // the store, one at a time
        return loadPluginPrefs();
    }();
    result.ballistics = prefs.ballistics;
    const int traceWord = job.trace ? prefs.ballistics : -1;
    FileProgress progress(job, passFrames(job, shape));
    if (job.normalize) {
        result.input = measureInput(job, traceWord, progress);
        try {
            result.plan = planNormalize(result.input.loudness, *job.normalize, prefs.trimRangeDb);
        } catch (const host::HostError& e) {
            throw host::HostError("cannot normalise '" + job.input + "': " + e.what());
        }
        for (const ParamSetting& setting : result.plan->settings())
            result.settings.push_back(setting);
    }
    std::unique_lock<std::mutex> lock(instanceLock());
    const std::unique_ptr<ProcessorModule> module =
        openProcessorModule(result.modulePath, shape.channels);
    {
        EffectRack rack(*module, shape.channels);
        rack.start(static_cast<float>(shape.sampleRate), job.blockSize, result.settings,
                   job.useDouble);
        result.product = rack.first().productName();
        result.instances = rack.size();
        lock.unlock();

        try {
            OutputFile output(job.output, shape.sampleRate, shape.channels);
            std::optional<SignalAnalysis> inAnalysis;
            if (!job.normalize) inAnalysis.emplace(shape.channels, shape.sampleRate, traceWord);
            SignalAnalysis outAnalysis(shape.channels, shape.sampleRate, traceWord);
            SignalAnalysis* in = inAnalysis ? &*inAnalysis : nullptr;
            if (job.useDouble)
                render<double>(input, output, rack, job.blockSize, in, outAnalysis, progress);
            else
                render<float>(input, output, rack, job.blockSize, in, outAnalysis, progress);
            rack.checkFaults();
            output.commit();
            if (inAnalysis) result.input = inAnalysis->figures();
            result.output = outAnalysis.figures();
            result.in = result.input.levels;
            result.out = result.output.levels;
        } catch (...) {
            lock.lock(); // the instances end one at a time too
            throw;
        }
        lock.lock();
    }
    return result;
}

void printProcessResult(const ProcessJob& job, const ProcessResult& result) {
    const AudioShape& shape = result.shape;
    std::printf("%s -> %s\n", job.input.c_str(), job.output.c_str());
    std::printf("%d Hz, %d channel(s), %lld frames (%.3f s), %s in %zu instance(s), %s samples, "
                "block %d\n",
                shape.sampleRate, shape.channels,
                static_cast<long long>(result.in.empty() ? 0 : result.in[0].frames),
                result.in.empty() ? 0.0
                                  : static_cast<double>(result.in[0].frames) / shape.sampleRate,
                result.product.empty() ? result.modulePath.c_str() : result.product.c_str(),
                result.instances, job.useDouble ? "64-bit" : "32-bit", job.blockSize);
    std::printf("channel   in peak    in RMS  out peak   out RMS     in TP    out TP   (dB, TP in "
                "dBTP)\n");
    for (std::size_t c = 0; c < result.in.size(); ++c)
        std::printf("%7zu   %s   %s   %s   %s   %s   %s\n", c + 1,
                    formatDb(result.in[c].peakDb()).c_str(), formatDb(result.in[c].rmsDb()).c_str(),
                    formatDb(result.out[c].peakDb()).c_str(),
                    formatDb(result.out[c].rmsDb()).c_str(),
                    formatDb(channelTruePeak(result.input.loudness, c)).c_str(),
                    formatDb(channelTruePeak(result.output.loudness, c)).c_str());
    const Loudness& in = result.input.loudness;
    const Loudness& out = result.output.loudness;
    std::printf("loudness                 in       out\n");
    const struct {
        const char* name;
        double in, out;
        const char* unit;
    } rows[] = {{"integrated    ", in.integrated, out.integrated, "LUFS"},
                {"range         ", in.range, out.range, "LU"},
                {"max momentary ", in.maxMomentary, out.maxMomentary, "LUFS"},
                {"max short-term", in.maxShortTerm, out.maxShortTerm, "LUFS"},
                {"true peak     ", in.maxTruePeak(), out.maxTruePeak(), "dBTP"}};
    for (const auto& row : rows)
        std::printf("%s   %s   %s   %s\n", row.name, formatDb(row.in).c_str(),
                    formatDb(row.out).c_str(), row.unit);
    if (result.plan)
        std::printf("%s; output %.2f LUFS, true peak %.2f dBTP\n",
                    describePlan(*result.plan).c_str(), out.integrated, out.maxTruePeak());
}

} // namespace kavet::cli
