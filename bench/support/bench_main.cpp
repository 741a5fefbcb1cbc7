// The benchmarks' entry for programs whose effect reads and writes the user's preferences:
// each run gets a fresh configuration folder of its own, never the user's.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

int main(int argc, char** argv) {
    char folder[] = "/tmp/kavet-bench-XXXXXX";
    const bool made = mkdtemp(folder) != nullptr;
    if (made) setenv("XDG_CONFIG_HOME", folder, 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    if (made) std::filesystem::remove_all(folder, ignored);
    return 0;
}
