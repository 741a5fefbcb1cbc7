// kavet process, run as a user runs it (a process per command, files on disk), timed by the
// wall clock:
//   Normalize10Min  a 10-minute 48 kHz stereo file processed as it is, then normalised
//                   (measured first, then processed): normalise_s / process_s is the ratio
//   Normalize10MinCeiling  the same with pink noise under a slow tremolo (energy up to the
//                   top of the band), normalised to -13 LUFS and held by a -1 dBTP ceiling
//   Batch8          eight 1-minute stereo files with -o DIR on every core, then the same
//                   files one command each: batch_s / one_by_one_s is the ratio, and
//                   batch_cores the batch's CPU time over its wall time
// Every run writes and reads files in a fresh folder under the temporary folder.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sndfile.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Timing {
    double wall = 0; // seconds
    double cpu = 0;  // user and system seconds of the process, all its threads
};

// Runs kavet with `args`, its output discarded.
Timing runKavet(const std::vector<std::string>& args) {
    std::vector<std::string> words = {KAVET_BINARY};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = -1;
    rusage usage{};
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        wait4(pid, &status, 0, &usage);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec * 1e-6; };
    return {took.count(), seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

// Programme-like material: a sine whose level swings by 20 dB every few seconds, with noise.
void writeSignal(const std::string& path, double seconds, unsigned seed) {
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    const auto frames = static_cast<std::size_t>(seconds * 48000);
    std::vector<float> block(2 * 48000);
    std::uint32_t noise = seed;
    for (std::size_t done = 0; done < frames; done += 48000) {
        for (std::size_t i = 0; i < 48000; ++i) {
            const double t = static_cast<double>(done + i) / 48000;
            const double level = 0.05 * std::pow(10.0, std::sin(t * 0.7) * 0.5);
            noise = noise * 1664525u + 1013904223u;
            const double n = (static_cast<double>(noise >> 8) / 16777216.0 - 0.5) * 0.02;
            block[2 * i] = static_cast<float>(level * std::sin(t * 2 * M_PI * 440) + n);
            block[2 * i + 1] = static_cast<float>(level * std::sin(t * 2 * M_PI * 660) - n);
        }
        sf_writef_float(file, block.data(),
                        static_cast<sf_count_t>(std::min<std::size_t>(48000, frames - done)));
    }
    sf_close(file);
}

struct Folder {
    Folder() : path(fs::temp_directory_path() / ("kavet-bench-" + std::to_string(getpid()))) {
        fs::create_directories(path);
    }
    ~Folder() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
    fs::path path;
};

// Pink noise (white noise through a sum of one-pole filters) at about -20 dB under a 0.2 Hz
// tremolo of 60 % depth, the channels independent.
void writePinkNoise(const std::string& path, double seconds) {
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    const auto frames = static_cast<std::size_t>(seconds * 48000);
    std::vector<float> block(2 * 48000);
    std::uint32_t noise = 7;
    double b[2][7] = {};
    for (std::size_t done = 0; done < frames; done += 48000) {
        for (std::size_t i = 0; i < 2 * 48000; ++i) {
            double* s = b[i % 2];
            noise = noise * 1664525u + 1013904223u;
            const double white = static_cast<double>(noise >> 8) / 8388608.0 - 1.0;
            s[0] = 0.99886 * s[0] + white * 0.0555179;
            s[1] = 0.99332 * s[1] + white * 0.0750759;
            s[2] = 0.96900 * s[2] + white * 0.1538520;
            s[3] = 0.86650 * s[3] + white * 0.3104856;
            s[4] = 0.55000 * s[4] + white * 0.5329522;
            s[5] = -0.7616 * s[5] - white * 0.0168980;
            const double pink = s[0] + s[1] + s[2] + s[3] + s[4] + s[5] + s[6] + white * 0.5362;
            s[6] = white * 0.115926;
            const double t = static_cast<double>(done + i / 2) / 48000;
            block[i] =
                static_cast<float>(0.1 * pink * (1.0 - 0.3 * (1.0 - std::cos(t * 0.4 * M_PI))));
        }
        sf_writef_float(file, block.data(),
                        static_cast<sf_count_t>(std::min<std::size_t>(48000, frames - done)));
    }
    sf_close(file);
}

// Processing the file as it is, then normalising it with `options`: the ratio of the two.
void normalizeAgainstProcess(benchmark::State& state, const Folder& dir, const std::string& input,
                             const std::vector<std::string>& options) {
    double process = 0, normalize = 0;
    std::vector<std::string> normalizeArgs = {"process", input, dir / "out.wav"};
    normalizeArgs.insert(normalizeArgs.end(), options.begin(), options.end());
    for (auto _ : state) {
        const double p = runKavet({"process", input, dir / "out.wav"}).wall;
        const double n = runKavet(normalizeArgs).wall;
        process += p;
        normalize += n;
        state.SetIterationTime(p + n);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["process_s"] = process / runs;
    state.counters["normalize_s"] = normalize / runs;
    state.counters["ratio"] = normalize / process;
}

void Normalize10Min(benchmark::State& state) {
    Folder dir;
    writeSignal(dir / "in.wav", 600, 1);
    normalizeAgainstProcess(state, dir, dir / "in.wav", {"--normalize", "-16"});
}
BENCHMARK(Normalize10Min)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(3);

void Normalize10MinCeiling(benchmark::State& state) {
    Folder dir;
    writePinkNoise(dir / "in.wav", 600);
    normalizeAgainstProcess(state, dir, dir / "in.wav",
                            {"--normalize", "-13", "--true-peak-max", "-1"});
}
BENCHMARK(Normalize10MinCeiling)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(3);

void Batch8(benchmark::State& state) {
    Folder dir;
    std::vector<std::string> inputs;
    for (unsigned k = 0; k < 8; ++k) {
        inputs.push_back(dir / ("in" + std::to_string(k) + ".wav"));
        writeSignal(inputs.back(), 60, k + 1);
    }
    double batch = 0, single = 0, cpu = 0, singleCpu = 0;
    for (auto _ : state) {
        std::vector<std::string> args = {"process", "-o", dir / "out"};
        args.insert(args.end(), inputs.begin(), inputs.end());
        const Timing t = runKavet(args);
        const double b = t.wall;
        double s = 0;
        for (const std::string& input : inputs) {
            const Timing one = runKavet({"process", input, dir / "single.wav"});
            s += one.wall;
            singleCpu += one.cpu;
        }
        cpu += t.cpu;
        batch += b;
        single += s;
        state.SetIterationTime(b + s);
    }
    state.counters["batch_s"] = batch / static_cast<double>(state.iterations());
    state.counters["one_by_one_s"] = single / static_cast<double>(state.iterations());
    state.counters["ratio"] = batch / single;
    // CPU seconds per wall second of the batch and of the files one by one: 2 and 1 when
    // they had the machine to themselves. Under load the scheduler's share for the session
    // (autogroup) caps both alike, and the ratio says little.
    state.counters["batch_cores"] = cpu / batch;
    state.counters["one_by_one_cores"] = singleCpu / single;
}
BENCHMARK(Batch8)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
