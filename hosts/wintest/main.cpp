// kavet-wintest: loads a Kavet mono VST 2.4 module on Windows (or under Wine) the way a host
// does, and checks its entry, effect record, texts, audio, chunk, stored preferences and
// tolerance of a 4-byte aligned stack.
//
//   kavet-wintest [--fresh] "Velmorant Kavet Mono.dll"
//
// --fresh says that the current user's registry belongs to the test (a throw-away Wine
// prefix): the host then expects no stored preferences before the first effect exists,
// and may write and delete them to exercise the plug-in's loading of them.
// Prints one line per check and "N passed, M failed"; exits 0 only when nothing failed.
//
//   kavet-wintest --editor OUT.bmp [STEP...] "Velmorant Kavet Mono.dll"
//
// opens the module's editor in a window instead and writes its pixels (editor_capture.h).
#include "editor_capture.h"
#include "suites.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

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

int usage() {
    std::fprintf(stderr, "usage: kavet-wintest [--fresh] MODULE.dll\n"
                         "       kavet-wintest --editor OUT.bmp [STEP...] MODULE.dll\n");
    return 2;
}
} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--editor") == 0)
        return runEditorCapture(argc - 2, argv + 2);
    bool fresh = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fresh") == 0)
            fresh = true;
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

    Context ctx{check, module, fresh};
    // Stored preferences first: they see the registry before any effect has been made.
    run(check, ctx, "stored preferences", checkStoredPrefs);
    run(check, ctx, "entry", checkEntry);
    run(check, ctx, "effect record", checkRecord);
    run(check, ctx, "texts", checkTexts);
    run(check, ctx, "audio", checkAudio);
    run(check, ctx, "chunk", checkChunk);
    run(check, ctx, "stack alignment", checkStackAlignment);
    return check.summary();
}
