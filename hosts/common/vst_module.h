// A VST 2.4 module loaded into the process: the shared object and its entry function.
#pragma once

#include "vst/aeffect.h"

#include <string>

namespace kavet::host {

using VstEntry = AEffect*(VSTCALLBACK*)(audioMasterCallback host);

class VstModule {
public:
    // Loads the shared object at `path` (a file path, never searched for in the library
    // path) with every symbol resolved now and kept local, and finds its entry:
    // VSTPluginMain, or main for old modules. Throws HostError when the file is missing,
    // is not a loadable shared object, or has neither symbol.
    explicit VstModule(const std::string& path);
    ~VstModule(); // unloads: every effect of the module must be closed by then

    VstModule(const VstModule&) = delete;
    VstModule& operator=(const VstModule&) = delete;

    const std::string& path() const { return path_; }
    VstEntry entry() const { return entry_; }
    const char* entryName() const { return entryName_; }
    // The dlopen handle, for looking up further symbols.
    void* handle() const { return handle_; }

private:
    std::string path_;
    void* handle_ = nullptr;
    VstEntry entry_ = nullptr;
    const char* entryName_ = nullptr;
};

} // namespace kavet::host
