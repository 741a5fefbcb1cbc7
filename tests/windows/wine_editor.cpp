#include "wine_editor.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>

extern char** environ;

namespace kavet::test {

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t le32(const std::string& d, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(d[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d[at + 3])) << 24;
}

unsigned le16(const std::string& d, std::size_t at) {
    return static_cast<unsigned char>(d[at]) | static_cast<unsigned char>(d[at + 1]) << 8;
}

} // namespace

WineRun runEditorUnderWine(const std::vector<EditorStep>& steps, const std::string& bmp) {
    // run-wine.sh passes arguments naming existing files as Windows paths: the picture's
    // file exists (empty) before the run.
    std::ofstream(bmp, std::ios::trunc).close();
    const std::string log = bmp + ".log";

    // A screen deep enough for the editor's colours and tall enough for its 534 rows. The
    // search for a free display starts at a number of this process's own, so that runs
    // started together do not race for the same one.
    const std::string firstDisplay = std::to_string(100 + getpid() % 800);
    std::vector<std::string> words = {KAVET_XVFB_RUN, "-a",
                                      "-n",           firstDisplay,
                                      "-s",           "-screen 0 1024x768x24 -nolisten tcp",
                                      "sh",           KAVET_RUN_WINE,
                                      "--display",    KAVET_WINDOWS_WINTEST,
                                      "--editor",     bmp};
    for (const EditorStep& step : steps)
        words.push_back(stepArgument(step));
    words.push_back(KAVET_WINDOWS_VST_MONO);
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    setenv("KAVET_WINE", KAVET_WINE, 1);
    setenv("KAVET_WINEBOOT", KAVET_WINEBOOT, 1);
    setenv("KAVET_WINESERVER", KAVET_WINESERVER, 1);

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
