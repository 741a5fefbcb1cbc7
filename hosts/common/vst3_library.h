// A shared library loaded by file path, and its exported functions: dlopen on Linux,
// LoadLibraryW on Windows. The VST 3 and CLAP modules are loaded through it.
#pragma once

#include <string>

namespace kavet::host {

class SharedLibrary {
public:
    // Loads the file at `path` (UTF-8), never searched for; throws HostError when it cannot.
    explicit SharedLibrary(const std::string& path);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The exported function `name`, or null.
    void* symbol(const char* name) const;
    // The system's handle: the dlopen handle on Linux (ModuleEntry takes it), the HMODULE.
    void* handle() const { return handle_; }

private:
    void* handle_ = nullptr;
};

} // namespace kavet::host
