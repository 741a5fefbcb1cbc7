#include "vst3_bundle.h"

#include "hosts/common/host_error.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace kavet::cli {

namespace fs = std::filesystem;

namespace {

// The folder's own name, also when the path ends in a separator.
std::string folderName(const std::string& text) {
    const fs::path path(text);
    return (path.has_filename() ? path.filename() : path.parent_path().filename()).string();
}

bool endsWithVst3(const std::string& name) {
    constexpr std::string_view kExtension = ".vst3";
    if (name.size() <= kExtension.size()) return false;
    return std::equal(kExtension.rbegin(), kExtension.rend(), name.rbegin(), [](char a, char b) {
        return a == std::tolower(static_cast<unsigned char>(b));
    });
}

} // namespace

bool namesVst3Bundle(const std::string& text) {
    std::error_code ec;
    return fs::is_directory(text, ec) && endsWithVst3(folderName(text));
}

std::shared_ptr<const host::Vst3Module> loadVst3Module(const std::string& path) {
    std::error_code ec;
    if (namesVst3Bundle(path) && !fs::is_directory(fs::path(path) / "Contents", ec))
        throw host::HostError("folder '" + path +
                              "' is not a VST 3 bundle: it holds no Contents folder");
    return std::make_shared<const host::Vst3Module>(path);
}

} // namespace kavet::cli
