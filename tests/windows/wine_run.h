// The Windows side of the comparisons: kavet-wintest.exe of one Windows build run by
// run-wine.sh in a fresh prefix of that build's bitness, on a VST module of the test's
// configuration, and the files it writes.
#pragma once

#include "editor_steps.h"

#include <kavet/driver.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kavet::test {

// One Windows build's test host and its VST module of this test's configuration.
struct WindowsModule {
    const char* name;    // "Windows64Stereo": the build and the configuration, for test names
    bool win64;          // a 64-bit build, run in a 64-bit prefix
    const char* wintest; // that build's kavet-wintest.exe
    const char* module;  // that build's VST module
    const char* vst3;    // that build's VST 3 module (its binary in the bundle)
    const char* clap;    // that build's CLAP module
};

// Names the module in GoogleTest's messages.
void PrintTo(const WindowsModule& module, std::ostream* out);

// The Windows builds that this test binary was configured with (KAVET_WIN32_*,
// KAVET_WIN64_*), for its configuration.
const std::vector<WindowsModule>& windowsModules();

// run-wine.sh's status when the machine cannot execute that bitness's loader.
inline constexpr int kWineCannotRun = 77;

struct WineRun {
    int status = -1;    // the exit status of the program, -1: did not run
    std::string output; // what it printed, standard error included
    bool cannotRun() const { return status == kWineCannotRun; }
};

// Runs the steps in the module's editor under Wine on a virtual X display (xvfb-run, 24 bits
// deep); the picture goes to `bmp`.
WineRun runEditorUnderWine(const WindowsModule& module, const std::vector<EditorStep>& steps,
                           const std::string& bmp);

// The VST 3 module's view of this test's configuration, the same way (kavet-wintest
// --editor --vst3).
WineRun runVst3EditorUnderWine(const WindowsModule& module, const std::vector<EditorStep>& steps,
                               const std::string& bmp);

// kavet-wintest --vst3: the VST 3 module's checks beside the VST 2.4 module of this test's
// configuration (no display); `log` takes what it printed.
WineRun runVst3ChecksUnderWine(const WindowsModule& module, const std::string& log);

// The CLAP module's editor of this test's configuration, the same way (kavet-wintest
// --editor --clap).
WineRun runClapEditorUnderWine(const WindowsModule& module, const std::vector<EditorStep>& steps,
                               const std::string& bmp);

// kavet-wintest --clap: the CLAP module's checks beside the VST 2.4 module of this test's
// configuration (no display); `log` takes what it printed.
WineRun runClapChecksUnderWine(const WindowsModule& module, const std::string& log);

// Runs the audio script (hosts/wintest/audio_script.h) in the module under Wine (no
// display); the output bytes go to `raw`.
WineRun renderAudioUnderWine(const WindowsModule& module, const std::string& raw);

std::string readFile(const std::string& path);

// A 24-bit bottom-up BMP as an image (alpha 255); nothing for any other file.
std::optional<driver::Image> readBmp24(const std::string& path);

} // namespace kavet::test
