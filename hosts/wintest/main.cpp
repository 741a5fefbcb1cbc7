// kavet-wintest: loads a Kavet VST 2.4 module on Windows (or under Wine) the way a host does,
// and checks its entry, effect record, texts, audio, chunk, stored preferences and (32-bit
// builds) tolerance of a 4-byte aligned stack.
//
//   kavet-wintest [--fresh] [--stereo] "Velmorant Kavet Mono.dll"
//
// --fresh says that the current user's registry belongs to the test (a throw-away Wine
// prefix): the host then expects no stored preferences before the first effect exists,
// and may write and delete them to exercise the plug-in's loading of them. --stereo says
// that the module must be the stereo build (the mono build otherwise).
// Prints one line per check and "N passed, M failed"; exits 0 only when nothing failed.
//
//   kavet-wintest --editor OUT.bmp [STEP...] "Velmorant Kavet Mono.dll"
//   kavet-wintest --editor --vst3 [--stereo] OUT.bmp [STEP...] Kavet.vst3
//   kavet-wintest --editor --clap [--stereo] OUT.bmp [STEP...] Kavet.clap
//
// opens the module's editor in a window instead and writes its pixels (editor_capture.h):
// the VST 2.4 module's, the VST 3 module's view or the CLAP module's editor of the mono
// (stereo) effect.
//
//   kavet-wintest --vst3 [--stereo] "Velmorant Kavet Mono.dll" Kavet.vst3
//   kavet-wintest --clap [--stereo] "Velmorant Kavet Mono.dll" Kavet.clap
//
// checks the VST 3 module (a bundle or its binary) or the CLAP module beside the VST 2.4
// module of the same configuration: its factory, its output and its state (suite_vst3.h,
// suite_clap.h).
//
//   kavet-wintest --render OUT.raw "Velmorant Kavet Mono.dll"
//
// writes the output of the audio script (audio_script.h) of one effect, for comparison with
// the Linux module's; exits 0 when the file was written.
#include "audio_script.h"
#include "editor_capture.h"
#include "suite_clap.h"
#include "suite_vst3.h"
#include "suites.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
Checker* running = nullptr;

// A fault inside the plug-in ends the run with a line that names the group of checks.
LONG WINAPI reportCrash(EXCEPTION_POINTERS* info) {
    if (running) {
        std::printf("FAIL  %s: exception 0x%08lx at %p\n", running->section(),
                    info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress);
        std::printf("%d passed, %d failed\n", running->passed(), running->failed() + 1);
        std::fflush(stdout);
    }
    return EXCEPTION_EXECUTE_HANDLER;
}

void run(Checker& check, Context& ctx, const char* section, void (*suite)(Context&)) {
    check.setSection(section);
    suite(ctx);
}

int usage();

// --vst3|--clap [--stereo] MODULE.dll MODULE
int formatChecks(int argc, char** argv, bool clap) {
    const bool stereo = argc > 0 && std::strcmp(argv[0], "--stereo") == 0;
    if (stereo) --argc, ++argv;
    if (argc != 2) return usage();
    Checker check;
    running = &check;
    SetUnhandledExceptionFilter(reportCrash);
    const PluginModule vst2(argv[0]);
    if (!check.expect(vst2.entry() != nullptr, "Vst2ModuleLoads", "LoadLibraryA(\"%s\") failed",
                      argv[0]))
        return check.summary();
    return clap ? runClapSuite(check, vst2, argv[1], stereo)
                : runVst3Suite(check, vst2, argv[1], stereo);
}

int usage() {
    std::fprintf(stderr, "usage: kavet-wintest [--fresh] [--stereo] MODULE.dll\n"
                         "       kavet-wintest --editor OUT.bmp [STEP...] MODULE.dll\n"
                         "       kavet-wintest --render OUT.raw MODULE.dll\n"
                         "       kavet-wintest --editor --vst3 [--stereo] OUT.bmp [STEP...] "
                         "MODULE.vst3\n"
                         "       kavet-wintest --editor --clap [--stereo] OUT.bmp [STEP...] "
                         "MODULE.clap\n"
                         "       kavet-wintest --vst3 [--stereo] MODULE.dll MODULE.vst3\n"
                         "       kavet-wintest --clap [--stereo] MODULE.dll MODULE.clap\n");
    return 2;
}

int render(const char* out, const char* path) {
    const PluginModule module(path);
    if (!module.entry()) {
        std::fprintf(stderr, "kavet-wintest: no VSTPluginMain in %s (error %lu)\n", path,
                     static_cast<unsigned long>(module.loadError()));
        return 1;
    }
    EffectInstance fx(module.entry());
    if (!fx) {
        std::fprintf(stderr, "kavet-wintest: VSTPluginMain returned null\n");
        return 1;
    }
    const std::vector<unsigned char> bytes = kavet::script::renderAudioScript(fx.get());
    std::FILE* file = std::fopen(out, "wb");
    if (!file) {
        std::fprintf(stderr, "kavet-wintest: cannot write %s\n", out);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    std::printf("%zu bytes of audio written\n", bytes.size());
    return written && closed ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--editor") == 0)
        return runEditorCapture(argc - 2, argv + 2);
    if (argc > 1 && std::strcmp(argv[1], "--render") == 0)
        return argc == 4 ? render(argv[2], argv[3]) : usage();
    if (argc > 1 && std::strcmp(argv[1], "--vst3") == 0)
        return formatChecks(argc - 2, argv + 2, false);
    if (argc > 1 && std::strcmp(argv[1], "--clap") == 0)
        return formatChecks(argc - 2, argv + 2, true);
    bool fresh = false;
    bool stereo = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fresh") == 0)
            fresh = true;
        else if (std::strcmp(argv[i], "--stereo") == 0)
            stereo = true;
        else if (!path)
            path = argv[i];
        else
            return usage();
    }
    if (!path) return usage();

    Checker check;
    running = &check;
    SetUnhandledExceptionFilter(reportCrash);
    const PluginModule module(path);
    if (!check.expect(module.loaded(), "ModuleLoads", "LoadLibraryA(\"%s\") failed, error %lu",
                      path, static_cast<unsigned long>(module.loadError())))
        return check.summary();
    if (!check.expect(module.entry() != nullptr, "ExportsVSTPluginMain", "no such export"))
        return check.summary();

    Context ctx{check, module, stereo ? kStereoFacts : kMonoFacts, fresh};
    // Stored preferences first: they see the registry before any effect has been made.
    run(check, ctx, "stored preferences", checkStoredPrefs);
    run(check, ctx, "entry", checkEntry);
    run(check, ctx, "effect record", checkRecord);
    run(check, ctx, "texts", checkTexts);
    run(check, ctx, "audio", checkAudio);
    run(check, ctx, "chunk", checkChunk);
#if defined(__i386__)
    run(check, ctx, "stack alignment", checkStackAlignment);
#else
    // The x64 convention has every caller keep the stack 16-byte aligned at a call (the
    // system DLLs rely on it as much as the plug-in), so a host has no other alignment to
    // call with, and the suites above call every entry point at that one.
    check.note("stack alignment: 32-bit only; x64 callers always align the stack to 16 bytes");
#endif
    return check.summary();
}
