#include "lv2_world.h"

#include "hosts/common/host_error.h"
#include "module_paths.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace kavet::cli {

using host::HostError;
namespace fs = std::filesystem;

namespace {

bool isFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool hasManifest(const fs::path& folder) {
    std::error_code ec;
    return fs::is_regular_file(folder / "manifest.ttl", ec);
}

// RFC 3986: a letter, then letters, digits, '+', '-' or '.', then the colon.
bool startsWithScheme(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 ||
        !std::isalpha(static_cast<unsigned char>(text[0])))
        return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

// lilv wants a bundle as a file URI that ends in a slash.
LilvNode* bundleUri(LilvWorld* world, const fs::path& folder) {
    std::error_code ec;
    fs::path absolute = fs::absolute(folder, ec).lexically_normal();
    std::string path = absolute.string();
    if (path.empty() || path.back() != '/') path += '/';
    return lilv_new_file_uri(world, nullptr, path.c_str());
}

LilvWorld* newWorld() {
    LilvWorld* world = lilv_world_new();
    if (world == nullptr) throw HostError("lilv cannot set up a world to load LV2 plug-ins in");
    return world;
}

} // namespace

bool namesLv2Plugin(const std::string& text) {
    if (isFolder(text)) return true;
    std::error_code ec;
    return !fs::exists(text, ec) && startsWithScheme(text);
}

Lv2World::Lv2World(const std::string& reference) : reference_(reference) {
    if (isFolder(reference))
        loadBundle(reference);
    else
        loadUri(reference);
    LilvWorld* world = world_.get();
    audioPort_.reset(lilv_new_uri(world, LILV_URI_AUDIO_PORT));
    controlPort_.reset(lilv_new_uri(world, LILV_URI_CONTROL_PORT));
    inputPort_.reset(lilv_new_uri(world, LILV_URI_INPUT_PORT));
    enabled_.reset(lilv_new_uri(world, "http://lv2plug.in/ns/lv2core#enabled"));
}

void Lv2World::loadBundle(const std::string& folder) {
    if (!hasManifest(folder))
        throw HostError("module '" + folder +
                        "': is a folder, not a module, a VST 3 bundle (a folder named *.vst3) "
                        "nor an LV2 bundle (it holds no manifest.ttl)");
    world_.reset(newWorld());
    const Node bundle(bundleUri(world_.get(), folder));
    lilv_world_load_bundle(world_.get(), bundle.get());
    const LilvPlugins* all = lilv_world_get_all_plugins(world_.get());
    LILV_FOREACH(plugins, i, all) {
        const LilvPlugin* plugin = lilv_plugins_get(all, i);
        if (lilv_node_equals(lilv_plugin_get_bundle_uri(plugin), bundle.get()))
            plugins_.push_back(plugin);
    }
    if (plugins_.empty()) throw HostError("LV2 bundle '" + folder + "' describes no plug-in");
}

void Lv2World::loadUri(const std::string& uri) {
    // The build's own bundles first: they are what a developer means, and loading only them
    // keeps the common case from reading every bundle on the system.
    world_.reset(newWorld());
    // A folder that cannot be read (or is not there) adds no bundle.
    std::error_code ec;
    for (fs::directory_iterator entry(defaultLv2Folder(), ec), end; !ec && entry != end;
         entry.increment(ec)) {
        if (!isFolder(entry->path().string()) || !hasManifest(entry->path())) continue;
        const Node bundle(bundleUri(world_.get(), entry->path()));
        lilv_world_load_bundle(world_.get(), bundle.get());
    }
    auto find = [this, &uri] {
        const Node node(lilv_new_uri(world_.get(), uri.c_str()));
        return lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_.get()), node.get());
    };
    const LilvPlugin* plugin = find();
    if (plugin == nullptr) {
        // A fresh world for the path, so that no bundle is loaded twice.
        world_.reset(newWorld());
        lilv_world_load_all(world_.get());
        plugin = find();
    }
    if (plugin == nullptr)
        throw HostError("no LV2 plug-in <" + uri + "> in " + defaultLv2Folder() +
                        " nor on LV2_PATH");
    plugins_.push_back(plugin);
}

std::string Lv2World::pluginValue(const LilvPlugin* plugin, const char* predicate) const {
    const Node property(lilv_new_uri(world_.get(), predicate));
    LilvNodes* values = lilv_plugin_get_value(plugin, property.get());
    const LilvNode* first = values != nullptr ? lilv_nodes_get_first(values) : nullptr;
    std::string text = first != nullptr ? lilv_node_as_string(first) : "";
    lilv_nodes_free(values);
    return text;
}

const LilvPort* Lv2World::portBySymbol(const LilvPlugin* plugin, const std::string& symbol) const {
    const Node node(lilv_new_string(world_.get(), symbol.c_str()));
    return lilv_plugin_get_port_by_symbol(plugin, node.get());
}

bool Lv2World::isA(const LilvPlugin* plugin, const LilvPort* port, const Node& portClass) const {
    return lilv_port_is_a(plugin, port, portClass.get());
}

bool Lv2World::isAudio(const LilvPlugin* plugin, const LilvPort* port) const {
    return isA(plugin, port, audioPort_);
}

bool Lv2World::isControl(const LilvPlugin* plugin, const LilvPort* port) const {
    return isA(plugin, port, controlPort_);
}

bool Lv2World::isInput(const LilvPlugin* plugin, const LilvPort* port) const {
    return isA(plugin, port, inputPort_);
}

const LilvPort* Lv2World::enablePort(const LilvPlugin* plugin) const {
    return lilv_plugin_get_port_by_designation(plugin, inputPort_.get(), enabled_.get());
}

} // namespace kavet::cli
