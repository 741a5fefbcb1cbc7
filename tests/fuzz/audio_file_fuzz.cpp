// The audio files "kavet process" reads: any bytes as a .wav, .aiff or .flac file through
// the command's job (read, process with the VST modules of this build, write). Asserts:
// either the job fails with a clear error (a HostError with a message) and no output file,
// and no temporary file, is left; or the job succeeds, the output has the input's rate,
// channels and frames, and (default settings, unity gain, 32-bit float output) holds exactly
// the samples read from the input.
#include "hosts/common/host_error.h"
#include "hosts/kavet/audio_file.h"
#include "hosts/kavet/process_job.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using kavet::cli::InputFile;

void check(bool cond, const char* what) {
    if (cond) return;
    std::fprintf(stderr, "\nkavet fuzz: invariant violated: %s\n", what);
    std::abort();
}

fs::path g_in, g_out;

std::vector<float> readAll(const std::string& path, kavet::cli::AudioShape& shape) {
    InputFile file(path);
    shape = file.shape();
    std::vector<float> samples;
    std::vector<float> block(4096 * static_cast<std::size_t>(shape.channels));
    while (const std::size_t n = file.read(block.data(), 4096))
        samples.insert(samples.end(), block.begin(),
                       block.begin() +
                           static_cast<long>(n * static_cast<std::size_t>(shape.channels)));
    return samples;
}

bool sameSamples(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        // Both NaN reads as the same sample; otherwise bit for bit (a NaN never comes out of
        // the effect, but a file may hold one: the effect's gain of 1 passes it).
        if (a[i] != b[i] && !(a[i] != a[i] && b[i] != b[i])) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (fs::temp_directory_path() / "kavet-fuzz-audio-XXXXXX").string();
    check(mkdtemp(pattern.data()) != nullptr, "a temporary folder");
    setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
    g_in = fs::path(pattern) / "in";
    g_out = fs::path(pattern) / "out";
    fs::create_directories(g_in);
    fs::create_directories(g_out);
    // The modules stay mapped for the whole run (each job opens and closes them again).
    check(dlopen(KAVET_FUZZ_STEREO_MODULE, RTLD_NOW) != nullptr, "the stereo module loads");
    check(dlopen(KAVET_FUZZ_MONO_MODULE, RTLD_NOW) != nullptr, "the mono module loads");
    return 0;
}

// The first byte chooses the input's extension, the output's and the module; the rest is the
// input file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 1) return 0;
    static const char* const kIn[] = {".wav", ".aiff", ".flac"};
    static const char* const kOut[] = {".wav", ".aif", ".flac"};
    const std::uint8_t choice = bytes[0];
    kavet::cli::ProcessJob job;
    job.input = (g_in / (std::string("input") + kIn[choice % 3])).string();
    job.output = (g_out / (std::string("output") + kOut[(choice / 3) % 3])).string();
    job.plugin = (choice / 9) % 2 ? KAVET_FUZZ_MONO_MODULE : KAVET_FUZZ_STEREO_MODULE;
    job.blockSize = 64;
    job.useDouble = (choice / 18) % 2 != 0;
    {
        std::ofstream out(job.input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes + 1), static_cast<std::streamsize>(size - 1));
    }
    bool done = false;
    try {
        kavet::cli::runProcessJob(job);
        done = true;
    } catch (const kavet::host::HostError& error) {
        check(error.what()[0] != '\0', "a failed job says why");
    }
    if (!done) {
        check(fs::is_empty(g_out), "a failed job leaves no file at all");
        return 0;
    }
    kavet::cli::AudioShape in, out;
    const std::vector<float> inSamples = readAll(job.input, in);
    const std::vector<float> outSamples = readAll(job.output, out);
    if (in.sampleRate != out.sampleRate || in.channels != out.channels)
        std::fprintf(stderr, "input %d Hz, %d channel(s); output %d Hz, %d channel(s)\n",
                     in.sampleRate, in.channels, out.sampleRate, out.channels);
    check(in.sampleRate == out.sampleRate && in.channels == out.channels,
          "the output has the input's rate and channels");
    check(inSamples.size() == outSamples.size(), "the output has every frame of the input");
    if (job.output.ends_with(".flac") == false)
        check(sameSamples(inSamples, outSamples), "unity gain writes the samples read");
    fs::remove(job.output);
    check(fs::is_empty(g_out), "a job leaves only its output");
    return 0;
}
