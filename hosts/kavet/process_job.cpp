#include "process_job.h"

#include "module_paths.h"
#include "progress.h"

#include <cstdio>
#include <memory>

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

template <typename Sample>
void render(InputFile& input, OutputFile& output, EffectRack& rack, int blockSize,
            LevelMeter& inLevels, LevelMeter& outLevels) {
    const AudioShape& shape = input.shape();
    const std::size_t chunk = ioFrames(blockSize);
    Buffers<Sample> buffers(shape.channels, chunk);
    Progress progress(static_cast<std::uint64_t>(std::max<std::int64_t>(shape.frames, 0)));
    std::uint64_t done = 0;
    while (const std::size_t frames = input.read(buffers.interleaved.data(), chunk)) {
        inLevels.add(buffers.interleaved.data(), frames);
        buffers.split(frames);
        for (std::size_t offset = 0; offset < frames;
             offset += static_cast<std::size_t>(blockSize)) {
            const auto count =
                static_cast<int>(std::min(frames - offset, static_cast<std::size_t>(blockSize)));
            rack.process(buffers.in, buffers.out, offset, count);
        }
        buffers.join(frames);
        outLevels.add(buffers.interleaved.data(), frames);
        output.write(buffers.interleaved.data(), frames);
        done += frames;
        progress.update(done);
    }
}

std::string chooseModule(const ProcessJob& job, int channels) {
    if (!job.plugin.empty()) return job.plugin;
    return channels == 2 ? defaultStereoModule() : defaultMonoModule();
}

} // namespace

ProcessResult runProcessJob(const ProcessJob& job) {
    outputFormatFor(job.output); // an unusable output name fails before any work
    InputFile input(job.input);
    const AudioShape shape = input.shape();

    ProcessResult result;
    result.shape = shape;
    result.modulePath = chooseModule(job, shape.channels);
    const std::unique_ptr<ProcessorModule> module = openProcessorModule(result.modulePath);
    {
        EffectRack rack(*module, shape.channels);
        rack.start(static_cast<float>(shape.sampleRate), job.blockSize, job.settings,
                   job.useDouble);
        result.product = rack.first().productName();
        result.instances = rack.size();

        OutputFile output(job.output, shape.sampleRate, shape.channels);
        LevelMeter inLevels(shape.channels);
        LevelMeter outLevels(shape.channels);
        if (job.useDouble)
            render<double>(input, output, rack, job.blockSize, inLevels, outLevels);
        else
            render<float>(input, output, rack, job.blockSize, inLevels, outLevels);
        output.commit();
        result.in = inLevels.channels();
        result.out = outLevels.channels();
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
    std::printf("channel   in peak    in RMS  out peak   out RMS   (dB)\n");
    for (std::size_t c = 0; c < result.in.size(); ++c)
        std::printf("%7zu   %s   %s   %s   %s\n", c + 1, formatDb(result.in[c].peakDb()).c_str(),
                    formatDb(result.in[c].rmsDb()).c_str(),
                    formatDb(result.out[c].peakDb()).c_str(),
                    formatDb(result.out[c].rmsDb()).c_str());
}

} // namespace kavet::cli
