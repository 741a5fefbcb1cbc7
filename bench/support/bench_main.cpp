// The benchmarks' entry for programs whose effect reads and writes the user's preferences:
// each run gets a fresh configuration folder of its own, never the user's.
#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char** argv) {
    char folder[] = "/tmp/kavet-bench-XXXXXX";
    if (mkdtemp(folder) != nullptr) setenv("XDG_CONFIG_HOME", folder, 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
