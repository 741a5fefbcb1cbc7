// The module's one exported symbol, clap_entry, and its plug-in factory. Both are constant
// tables for the life of the module: init and deinit have nothing to set up or tear down, so
// repeated or unmatched calls are harmless.
#include "descriptors.h"

#include "clap/factory.h"

#include <cstring>

// KAVET_EXPORT is set by the build: default visibility on ELF, nothing where a
// module-definition file lists the exports.
#ifndef KAVET_EXPORT
#define KAVET_EXPORT
#endif

namespace kavet::clapplugin {

namespace {

using namespace clap;

uint32 KAVET_CLAP_CALL pluginCount(const PluginFactory*) {
    return kPluginCount;
}

const PluginDescriptor* KAVET_CLAP_CALL descriptorAt(const PluginFactory*, uint32 index) {
    return index < kPluginCount ? &kDescriptors[index] : nullptr;
}

const Plugin* KAVET_CLAP_CALL createPlugin(const PluginFactory*, const Host* host, const char* id) {
    if (host == nullptr || id == nullptr || !isCompatible(host->clap_version)) return nullptr;
    for (int i = 0; i < kPluginCount; ++i) {
        if (std::strcmp(id, kDescriptors[i].id) != 0) continue;
        const PartEntry* part = i == 0 ? kavet_clap_part_stereo() : kavet_clap_part_mono();
        return part->create(host, &kDescriptors[i]);
    }
    return nullptr;
}

constexpr PluginFactory kFactory{pluginCount, descriptorAt, createPlugin};

bool KAVET_CLAP_CALL init(const char*) {
    return true;
}

void KAVET_CLAP_CALL deinit() {}

const void* KAVET_CLAP_CALL factory(const char* id) {
    return id != nullptr && std::strcmp(id, kPluginFactoryId) == 0 ? &kFactory : nullptr;
}

} // namespace

} // namespace kavet::clapplugin

extern "C" {
KAVET_EXPORT extern const kavet::clap::PluginEntry clap_entry;
const kavet::clap::PluginEntry clap_entry{kavet::clap::kVersion, kavet::clapplugin::init,
                                          kavet::clapplugin::deinit, kavet::clapplugin::factory};
}
