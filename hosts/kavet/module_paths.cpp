#include "module_paths.h"

#include <filesystem>
#include <system_error>

namespace kavet::cli {

namespace {

// The folder `name` beside the executable's folder.
std::filesystem::path besideBin(const char* name) {
    std::error_code ec;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto bin = ec ? std::filesystem::path(".") : executable.parent_path();
    return (bin / ".." / name).lexically_normal();
}

std::filesystem::path moduleFolder() {
    return besideBin("vst");
}

} // namespace

std::string defaultStereoModule() {
    return (moduleFolder() / KAVET_STEREO_MODULE).string();
}
std::string defaultMonoModule() {
    return (moduleFolder() / KAVET_MONO_MODULE).string();
}
std::string defaultLv2Folder() {
    return besideBin("lv2").string();
}

} // namespace kavet::cli
