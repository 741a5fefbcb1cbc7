#include "lilv_host.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/parameters/parameters.h>

#include <algorithm>
#include <cstring>

namespace kavet::bench {

LilvHost::LilvHost(const std::string& bundlePath, double sampleRate, int maxFrames)
    : world_(lilv_world_new()), sampleRate_(sampleRate), maxFrames_(maxFrames),
      rateOption_(static_cast<float>(sampleRate)), maxBlock_(maxFrames), nominalBlock_(maxFrames) {
    lilv_world_load_all(world_);
    if (!bundlePath.empty()) {
        // A bundle's URI ends with a slash.
        LilvNode* bundle = lilv_new_file_uri(world_, nullptr, (bundlePath + "/").c_str());
        lilv_world_load_bundle(world_, bundle);
        lilv_node_free(bundle);
    }
    const LV2_URID atomFloat = map(LV2_ATOM__Float), atomInt = map(LV2_ATOM__Int);
    auto option = [&](const char* key, std::uint32_t type, const void* value) {
        options_.push_back({LV2_OPTIONS_INSTANCE, 0, map(key), 4, type, value});
    };
    option(LV2_PARAMETERS__sampleRate, atomFloat, &rateOption_);
    option(LV2_BUF_SIZE__minBlockLength, atomInt, &minBlock_);
    option(LV2_BUF_SIZE__maxBlockLength, atomInt, &maxBlock_);
    option(LV2_BUF_SIZE__nominalBlockLength, atomInt, &nominalBlock_);
    options_.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
    featureList_ = {{LV2_URID__map, &map_},
                    {LV2_URID__unmap, &unmap_},
                    {LV2_OPTIONS__options, options_.data()},
                    {LV2_BUF_SIZE__boundedBlockLength, nullptr}};
    for (const LV2_Feature& f : featureList_)
        features_.push_back(&f);
    features_.push_back(nullptr);
}

LilvHost::~LilvHost() {
    lilv_world_free(world_);
}

const LilvPlugin* LilvHost::find(const char* uri) const {
    LilvNode* node = lilv_new_uri(world_, uri);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), node);
    lilv_node_free(node);
    return plugin;
}

std::string LilvHost::missingFeature(const LilvPlugin* plugin) const {
    std::string missing;
    LilvNodes* required = lilv_plugin_get_required_features(plugin);
    LILV_FOREACH(nodes, i, required) {
        const char* uri = lilv_node_as_uri(lilv_nodes_get(required, i));
        const bool offered =
            std::any_of(featureList_.begin(), featureList_.end(),
                        [uri](const LV2_Feature& f) { return std::strcmp(f.URI, uri) == 0; });
        if (!offered && missing.empty()) missing = uri;
    }
    lilv_nodes_free(required);
    return missing;
}

LV2_URID LilvHost::map(const char* uri) {
    return mapUri(this, uri);
}

LV2_URID LilvHost::mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto* self = static_cast<LilvHost*>(handle);
    const auto it = std::find(self->uris_.begin(), self->uris_.end(), uri);
    if (it != self->uris_.end()) return static_cast<LV2_URID>(it - self->uris_.begin() + 1);
    self->uris_.emplace_back(uri);
    return static_cast<LV2_URID>(self->uris_.size());
}

const char* LilvHost::unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    const auto* self = static_cast<const LilvHost*>(handle);
    if (urid == 0 || urid > self->uris_.size()) return nullptr;
    return self->uris_[urid - 1].c_str();
}

} // namespace kavet::bench
