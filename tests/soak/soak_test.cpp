// A host's whole life with a module, over and over in one process: load the file, create an
// instance, open and close its editor, process, save and restore its chunk, close it and
// unload the module. Whatever the module's copy of the Win32 layer made (windows, classes,
// GDI objects, the X11 connection) must go with it: the leak checker finds nothing at the
// end, and the resident memory after the warm-up cycles stays where it was.
#include "hosts/ptsim/pt_instance.h"
#include "hosts/ptsim/pt_view_host.h"
#include "x11_host.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KAVET_SOAK_SANITIZED 1
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace kavet::test {
namespace {

constexpr int kCycles = KAVET_SOAK_CYCLES;
constexpr int kWarmUp = 50;
// Heap growth allowed after the warm-up, per cycle on average: a leak of 1 KiB a cycle
// exceeds it. Under the sanitizers each load of a module keeps 0.5 to 0.7 KiB of the heap
// counted as in use (the sanitizer's and the loader's own records; nothing the leak checker
// reports), so the allowance there is that much larger.
#ifdef KAVET_SOAK_SANITIZED
constexpr long kAllowedHeapPerCycle = 1024;
#else
constexpr long kAllowedHeapPerCycle = 512;
#endif
// Resident growth allowed: freed heap absorbs small leaks, so this catches what is not on
// the heap (mappings, shared memory) and large leaks. Not under the sanitizers, whose shadow
// of each new mapping of a module stays resident (an eighth of its size or more).
constexpr long kAllowedResidentPerCycle = 4096;

long residentBytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// The heap in use: what a leak adds to. Under a sanitizer, its allocator's own count (blocks
// in quarantine count as freed; glibc's figures stay at 0 there); elsewhere glibc's.
#ifdef KAVET_SOAK_SANITIZED
long heapBytes() {
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
}
#else
long heapBytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>(info.uordblks + info.hblkhd);
}
#endif

struct SoakModule {
    const char* name;
    const char* path;
    bool vst; // else a host-format module through the simulated host
    int channels;
};

void PrintTo(const SoakModule& m, std::ostream* out) {
    *out << m.name;
}

// One cycle with a VST module: an empty string, or what went wrong.
std::string vstCycle(const char* path) {
    x11test::X11Host host({path});
    void* window = reinterpret_cast<void*>(static_cast<std::uintptr_t>(host.window()));
    if (host.dispatch(effEditOpen, 0, 0, window) != 1) return "effEditOpen";
    host.dispatch(effEditIdle);
    host.dispatch(effEditClose);
    host.process(0.5f, 256);
    void* data = nullptr;
    const auto bytes = host.dispatch(effGetChunk, 0, 0, &data);
    if (bytes <= 0 || data == nullptr) return "effGetChunk";
    std::vector<char> chunk(static_cast<char*>(data), static_cast<char*>(data) + bytes);
    if (host.dispatch(effSetChunk, 0, bytes, chunk.data()) != bytes) return "effSetChunk";
    return {};
}

std::string ptCycle(const char* path, int channels) {
    ptsim::PtModule module(path);
    if (module.open() != 0) return "open";
    {
        ptsim::PtInstance instance(module, 0, 44100);
        {
            ptsim::PtViewHost view(instance, 300, 600);
            view.open(); // the window system's defined refusal: a module's own layer
            view.idle();
            view.dispose();
        }
        std::vector<std::vector<float>> in(static_cast<std::size_t>(channels),
                                           std::vector<float>(256, 0.25f));
        auto out = in;
        instance.renderChannels(in, out, 128);
        for (const ptsim::SavedChunk& chunk : instance.saveAllChunks())
            if (instance.restoreChunk(chunk) != 0) return "restoreChunk " + ptsim::fourCC(chunk.id);
    }
    if (module.close() != 0) return "close";
    return {};
}

// True while a file of that path is mapped into the process.
bool mapped(const char* path) {
    FILE* f = std::fopen("/proc/self/maps", "r");
    if (!f) return false;
    char line[4096];
    bool found = false;
    while (!found && std::fgets(line, sizeof line, f))
        found = std::strstr(line, path) != nullptr;
    std::fclose(f);
    return found;
}

class ModuleSoak : public testing::TestWithParam<SoakModule> {};

TEST_P(ModuleSoak, LoadUseAndUnloadLeaveNothingBehind) {
    const SoakModule& m = GetParam();
    long heapAfterWarmUp = 0, residentAfterWarmUp = 0;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        const std::string failure = m.vst ? vstCycle(m.path) : ptCycle(m.path, m.channels);
        ASSERT_EQ(failure, "") << "cycle " << cycle;
        ASSERT_FALSE(mapped(m.path)) << "cycle " << cycle << ": the module stays loaded";
        if (cycle + 1 == kWarmUp) {
            heapAfterWarmUp = heapBytes();
            residentAfterWarmUp = residentBytes();
        }
    }
    const long heapGrowth = heapBytes() - heapAfterWarmUp;
    const long residentGrowth = residentBytes() - residentAfterWarmUp;
    std::printf("%s: after %d cycles heap %ld KiB, resident %ld KiB; after %d cycles heap "
                "%+ld bytes, resident %+ld KiB\n",
                m.name, kWarmUp, heapAfterWarmUp / 1024, residentAfterWarmUp / 1024, kCycles,
                heapGrowth, residentGrowth / 1024);
    EXPECT_LT(heapGrowth, kAllowedHeapPerCycle * (kCycles - kWarmUp));
#ifndef KAVET_SOAK_SANITIZED
    EXPECT_LT(residentGrowth, kAllowedResidentPerCycle * (kCycles - kWarmUp));
#endif
}

const SoakModule kModules[] = {
    {"VstStereo", KAVET_VST_STEREO_MODULE, true, 2},
    {"VstMono", KAVET_VST_MONO_MODULE, true, 1},
    {"PtStereo", KAVET_PT_STEREO_MODULE, false, 2},
    {"PtMono", KAVET_PT_MONO_MODULE, false, 1},
};

INSTANTIATE_TEST_SUITE_P(Modules, ModuleSoak, testing::ValuesIn(kModules),
                         [](const testing::TestParamInfo<SoakModule>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace kavet::test
