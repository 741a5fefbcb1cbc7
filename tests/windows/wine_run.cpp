#include "wine_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>

extern char** environ;

namespace kavet::test {

namespace {

std::uint32_t le32(const std::string& d, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(d[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d[at + 3])) << 24;
}

unsigned le16(const std::string& d, std::size_t at) {
    return static_cast<unsigned char>(d[at]) | static_cast<unsigned char>(d[at + 1]) << 8;
}

// Runs `words` (a program and its arguments) with no standard input and its output and
// errors in `log`; answers its exit status and what it printed.
WineRun spawn(std::vector<std::string> words, const std::string& log) {
    setenv("KAVET_WINE", KAVET_WINE, 1);
    setenv("KAVET_WINE64", KAVET_WINE64, 1);
    setenv("KAVET_WINESERVER", KAVET_WINESERVER, 1);
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    WineRun run;
    pid_t child = 0;
    const int error = posix_spawn(&child, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (error != 0) {
        run.output = std::string("cannot run ") + argv[0];
        return run;
    }
    int status = 0;
    if (waitpid(child, &status, 0) == child && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.output = readFile(log);
    return run;
}

// run-wine.sh and its options for the module's bitness.
std::vector<std::string> runWine(const WindowsModule& module, bool display) {
    std::vector<std::string> words = {"/bin/sh", KAVET_RUN_WINE};
    if (module.win64) words.push_back("--win64");
    if (display) words.push_back("--display");
    words.push_back(module.wintest);
    return words;
}

} // namespace

void PrintTo(const WindowsModule& module, std::ostream* out) {
    *out << module.name;
}

const std::vector<WindowsModule>& windowsModules() {
    static const std::vector<WindowsModule> kModules = {
#ifdef KAVET_WIN32_MODULE
        {"Windows32" KAVET_CONFIG_NAME, false, KAVET_WIN32_WINTEST, KAVET_WIN32_MODULE,
         KAVET_WIN32_VST3, KAVET_WIN32_CLAP},
#endif
#ifdef KAVET_WIN64_MODULE
        {"Windows64" KAVET_CONFIG_NAME, true, KAVET_WIN64_WINTEST, KAVET_WIN64_MODULE,
         KAVET_WIN64_VST3, KAVET_WIN64_CLAP},
#endif
    };
    return kModules;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

bool stereo() {
    return std::string(KAVET_CONFIG_NAME) == "Stereo";
}

// kavet-wintest --editor [OPTION...] BMP STEP... MODULE on a virtual display.
WineRun editorUnderWine(const WindowsModule& module, const std::vector<std::string>& options,
                        const std::vector<EditorStep>& steps, const std::string& bmp,
                        const char* modulePath) {
    // run-wine.sh passes arguments naming existing files as Windows paths: the picture's
    // file exists (empty) before the run.
    std::ofstream(bmp, std::ios::trunc).close();

    // A screen deep enough for the editor's colours and tall enough for its 534 rows. The
    // search for a free display starts at a number of this process's own, so that runs
    // started together do not race for the same one.
    const std::string firstDisplay = std::to_string(100 + getpid() % 800);
    std::vector<std::string> words = {KAVET_XVFB_RUN, "-a", "-n",
                                      firstDisplay,   "-s", "-screen 0 1024x768x24 -nolisten tcp"};
    for (const std::string& w : runWine(module, true))
        words.push_back(w);
    words.push_back("--editor");
    words.insert(words.end(), options.begin(), options.end());
    words.push_back(bmp);
    for (const EditorStep& step : steps)
        words.push_back(stepArgument(step));
    words.push_back(modulePath);
    return spawn(std::move(words), bmp + ".log");
}

} // namespace

WineRun runEditorUnderWine(const WindowsModule& module, const std::vector<EditorStep>& steps,
                           const std::string& bmp) {
    return editorUnderWine(module, {}, steps, bmp, module.module);
}

WineRun runVst3EditorUnderWine(const WindowsModule& module, const std::vector<EditorStep>& steps,
                               const std::string& bmp) {
    std::vector<std::string> options = {"--vst3"};
    if (stereo()) options.push_back("--stereo");
    return editorUnderWine(module, options, steps, bmp, module.vst3);
}

WineRun runClapEditorUnderWine(const WindowsModule& module, const std::vector<EditorStep>& steps,
                               const std::string& bmp) {
    std::vector<std::string> options = {"--clap"};
    if (stereo()) options.push_back("--stereo");
    return editorUnderWine(module, options, steps, bmp, module.clap);
}

namespace {

// kavet-wintest OPTION [--stereo] VST_MODULE FORMAT_MODULE, without a display.
WineRun formatChecksUnderWine(const WindowsModule& module, const char* option,
                              const char* formatModule, const std::string& log) {
    std::vector<std::string> words = runWine(module, false);
    words.push_back(option);
    if (stereo()) words.push_back("--stereo");
    words.push_back(module.module);
    words.push_back(formatModule);
    return spawn(std::move(words), log);
}

} // namespace

WineRun runVst3ChecksUnderWine(const WindowsModule& module, const std::string& log) {
    return formatChecksUnderWine(module, "--vst3", module.vst3, log);
}

WineRun runClapChecksUnderWine(const WindowsModule& module, const std::string& log) {
    return formatChecksUnderWine(module, "--clap", module.clap, log);
}

WineRun renderAudioUnderWine(const WindowsModule& module, const std::string& raw) {
    std::ofstream(raw, std::ios::trunc).close();
    std::vector<std::string> words = runWine(module, false);
    words.push_back("--render");
    words.push_back(raw);
    words.push_back(module.module);
    return spawn(std::move(words), raw + ".log");
}

std::optional<driver::Image> readBmp24(const std::string& path) {
    const std::string d = readFile(path);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') return std::nullopt;
    const std::uint32_t offset = le32(d, 10);
    const auto width = static_cast<std::int32_t>(le32(d, 18));
    const auto height = static_cast<std::int32_t>(le32(d, 22));
    if (le32(d, 14) < 40 || le16(d, 28) != 24 || le32(d, 30) != 0) return std::nullopt;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return std::nullopt;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    if (offset > d.size() || d.size() - offset < stride * height) return std::nullopt;

    driver::Image image;
    image.width = width;
    image.height = height;
    image.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = offset + stride * (height - 1 - y); // bottom-up
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            p[0] = static_cast<std::uint8_t>(d[row + 3 * x + 2]);
            p[1] = static_cast<std::uint8_t>(d[row + 3 * x + 1]);
            p[2] = static_cast<std::uint8_t>(d[row + 3 * x]);
            p[3] = 255;
        }
    }
    return image;
}

} // namespace kavet::test
