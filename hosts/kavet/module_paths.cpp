#include "module_paths.h"

#include <filesystem>
#include <system_error>

namespace kavet::cli {

namespace {

std::filesystem::path moduleFolder() {
    std::error_code ec;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto bin = ec ? std::filesystem::path(".") : executable.parent_path();
    return (bin / ".." / "vst").lexically_normal();
}

} // namespace

std::string defaultStereoModule() {
    return (moduleFolder() / KAVET_STEREO_MODULE).string();
}
std::string defaultMonoModule() {
    return (moduleFolder() / KAVET_MONO_MODULE).string();
}

} // namespace kavet::cli
