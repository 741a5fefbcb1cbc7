// kavet editor: runs the renderer of the module's configuration (see editor_picture.h), or
// with --window shows the editor in a window of its own (editor_window.h).
#include "editor_picture.h"

#include "arguments.h"
#include "editor_window.h"
#include "hosts/common/vst_module.h"
#include "hosts/common/vst_plugin.h"
#include "module_kind.h"
#include "module_paths.h"
#include "usage_error.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

extern char** environ;

namespace kavet::cli {

namespace {

constexpr VstInt32 kStereoId = CCONST('K', 'v', 't', 'S');
constexpr VstInt32 kMonoId = CCONST('K', 'v', 't', 'M');

// "stereo" or "mono" from the module's unique ID; other modules have no Kavet editor.
std::string configurationOf(const std::string& plugin) {
    if (moduleKind(plugin) == ModuleKind::HostFormat)
        throw host::HostError(plugin + " is a host-format module: its editor is that of the VST "
                                       "module of the same configuration, give that one");
    host::VstPlugin effect(std::make_shared<const host::VstModule>(plugin));
    const VstInt32 id = effect.effect().uniqueID;
    if (id == kStereoId) return "stereo";
    if (id == kMonoId) return "mono";
    throw host::HostError(plugin + " is not a Kavet module (no editor to show)");
}

std::filesystem::path ownFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

} // namespace

void runEditor(const std::vector<std::string>& args) {
    std::string plugin = defaultStereoModule();
    bool png = false, window = false;
    std::vector<OptionSpec> options = {
        {"--plugin", true, [&plugin](const std::string& v) { plugin = v; }},
        {"--png", true, [&png](const std::string&) { png = true; }},
        {"--window", false, [&window](const std::string&) { window = true; }}};
    // The renderer or the window host checks the other options; here they are skipped.
    for (const char* name : {"--gain", "--trim", "--pan", "--signal"})
        options.push_back({name, true, [](const std::string&) {}});
    for (const char* name : {"--phase", "--mute", "--bypass", "--pre", "--fine", "--options"})
        options.push_back({name, false, [](const std::string&) {}});
    parseArguments(args, options);
    if (png && window) throw UsageError("editor: --png and --window exclude each other");
    if (!png && !window) throw UsageError("editor: --png FILE is required (or --window)");

    const std::string configuration = configurationOf(plugin);
    if (window) {
        runEditorWindow(args, plugin, configuration == "stereo");
        return;
    }
    const std::string renderer = (ownFolder() / ("kavet-editor-" + configuration)).string();
    std::vector<std::string> words = {renderer};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    std::fflush(stdout); // what was printed so far comes before the renderer's lines
    pid_t child = 0;
    const int error = posix_spawn(&child, renderer.c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0) throw host::HostError("cannot run " + renderer + ": " + std::strerror(error));
    int status = 0;
    if (waitpid(child, &status, 0) < 0 || !WIFEXITED(status))
        throw host::HostError(renderer + " did not finish");
    // The renderer has told the user what went wrong; its status is the command's.
    if (WEXITSTATUS(status) != 0) std::exit(WEXITSTATUS(status));
}

} // namespace kavet::cli
