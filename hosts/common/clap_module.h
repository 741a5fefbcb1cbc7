// A CLAP module loaded into the process as a host loads it: the file (a shared object on
// Linux, a DLL on Windows, named .clap), its clap_entry, init with the file's path, and its
// plug-in factory with the descriptors it lists. [main thread]
#pragma once

#include "vst3_library.h"

#include "clap/factory.h"

#include <memory>
#include <string>
#include <vector>

namespace kavet::host {

// A descriptor's fields, copied (null texts as empty ones).
struct ClapDescriptor {
    clap::Version clapVersion;
    std::string id, name, vendor, url, manualUrl, supportUrl, version, description;
    std::vector<std::string> features;
};

class ClapModule {
public:
    // Loads the file at `path`, finds clap_entry (an interface version this host speaks),
    // calls init(path) and get_factory("clap.plugin-factory"). Throws HostError when any of
    // it fails (after deinit, when init had answered true).
    explicit ClapModule(const std::string& path);
    // Calls deinit, then unloads. Every plug-in of the module must be destroyed by then.
    ~ClapModule();
    ClapModule(const ClapModule&) = delete;
    ClapModule& operator=(const ClapModule&) = delete;

    const std::string& path() const { return path_; }
    const clap::PluginEntry& entry() const { return *entry_; }
    const clap::PluginFactory* factory() const { return factory_; }
    // The factory's descriptors, in its order; an index it answers null for is left out.
    std::vector<ClapDescriptor> descriptors() const;

private:
    std::string path_;
    std::unique_ptr<SharedLibrary> library_;
    const clap::PluginEntry* entry_ = nullptr;
    const clap::PluginFactory* factory_ = nullptr;
};

} // namespace kavet::host
