#include "vst_module.h"

#include "host_error.h"

#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace kavet::host {

namespace {

// dlopen searches the library path for a name without a slash; a module is a file.
std::string asFilePath(const std::string& path) {
    return path.find('/') == std::string::npos ? "./" + path : path;
}

void checkIsFile(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) throw HostError("module '" + path + "': no such file");
    if (std::filesystem::is_directory(status))
        throw HostError("module '" + path + "': is a folder, not a module");
}

} // namespace

VstModule::VstModule(const std::string& path) : path_(path) {
    checkIsFile(path);
    dlerror();
    handle_ = dlopen(asFilePath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        throw HostError("module '" + path +
                        "' cannot be loaded: " + (why != nullptr ? why : "unknown reason"));
    }
    for (const char* name : {"VSTPluginMain", "main"}) {
        if (void* symbol = dlsym(handle_, name)) {
            entry_ = reinterpret_cast<VstEntry>(symbol);
            entryName_ = name;
            return;
        }
    }
    dlclose(handle_);
    throw HostError("module '" + path +
                    "' is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main");
}

VstModule::~VstModule() {
    dlclose(handle_);
}

} // namespace kavet::host
