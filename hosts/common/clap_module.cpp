#include "clap_module.h"

#include "host_error.h"

namespace kavet::host {

using namespace clap;

namespace {

std::string text(const char* s) {
    return s != nullptr ? s : "";
}

} // namespace

ClapModule::ClapModule(const std::string& path) : path_(path) {
    library_ = std::make_unique<SharedLibrary>(path);
    entry_ = static_cast<const PluginEntry*>(library_->symbol(kEntrySymbol));
    if (entry_ == nullptr) throw HostError("module '" + path + "' exports no clap_entry");
    if (!isCompatible(entry_->clap_version) || entry_->init == nullptr ||
        entry_->deinit == nullptr || entry_->get_factory == nullptr)
        throw HostError("module '" + path + "': its clap_entry is of an interface version " +
                        std::to_string(entry_->clap_version.major) + "." +
                        std::to_string(entry_->clap_version.minor) +
                        " this host does not speak, or incomplete");
    if (!entry_->init(path.c_str())) throw HostError("module '" + path + "' refused init");
    factory_ = static_cast<const PluginFactory*>(entry_->get_factory(kPluginFactoryId));
    if (factory_ == nullptr) {
        // No destructor runs after a throw here: init's counterpart now.
        entry_->deinit();
        throw HostError("module '" + path + "' has no plug-in factory");
    }
}

ClapModule::~ClapModule() {
    entry_->deinit();
    library_.reset();
}

std::vector<ClapDescriptor> ClapModule::descriptors() const {
    std::vector<ClapDescriptor> list;
    const uint32 count = factory_->get_plugin_count(factory_);
    for (uint32 i = 0; i < count; ++i) {
        const PluginDescriptor* d = factory_->get_plugin_descriptor(factory_, i);
        if (d == nullptr) continue;
        ClapDescriptor c{d->clap_version,      text(d->id),
                         text(d->name),        text(d->vendor),
                         text(d->url),         text(d->manual_url),
                         text(d->support_url), text(d->version),
                         text(d->description), {}};
        for (const char* const* f = d->features; f != nullptr && *f != nullptr; ++f)
            c.features.emplace_back(*f);
        list.push_back(std::move(c));
    }
    return list;
}

} // namespace kavet::host
