// The LV2 plug-ins that a --plugin argument names, found through lilv: a bundle folder
// (every plug-in it describes) or a plug-in URI. A URI is looked for first in the bundles
// beside kavet (<build>/lv2, where the build puts Kavet.lv2), then on LV2_PATH (lilv's
// default path when it is not set).
#pragma once

#include <lilv/lilv.h>

#include <memory>
#include <string>
#include <vector>

namespace kavet::cli {

// `text` names an LV2 plug-in rather than a module file: it is a folder (a bundle), or no
// file at all but a URI ("urn:velmorant:kavet:stereo": a scheme, then a colon).
bool namesLv2Plugin(const std::string& text);

class Lv2World {
public:
    // Loads what `reference` names. Throws HostError when it names no plug-in: a folder
    // without manifest.ttl, a bundle that describes none, a URI found nowhere.
    explicit Lv2World(const std::string& reference);

    const std::string& reference() const { return reference_; }
    // The plug-ins named, in the order of their URIs; never empty.
    const std::vector<const LilvPlugin*>& plugins() const { return plugins_; }

    // The first value of `plugin`'s property `predicate` (a URI) as text; empty when none.
    std::string pluginValue(const LilvPlugin* plugin, const char* predicate) const;
    // The port of `plugin` whose symbol is `symbol`, or null.
    const LilvPort* portBySymbol(const LilvPlugin* plugin, const std::string& symbol) const;
    bool isAudio(const LilvPlugin* plugin, const LilvPort* port) const;
    bool isControl(const LilvPlugin* plugin, const LilvPort* port) const;
    bool isInput(const LilvPlugin* plugin, const LilvPort* port) const;
    // The host's enable switch (lv2:enabled designation), or null.
    const LilvPort* enablePort(const LilvPlugin* plugin) const;

private:
    struct WorldFree {
        void operator()(LilvWorld* world) const { lilv_world_free(world); }
    };
    struct NodeFree {
        void operator()(LilvNode* node) const { lilv_node_free(node); }
    };
    using Node = std::unique_ptr<LilvNode, NodeFree>;

    void loadBundle(const std::string& folder);
    void loadUri(const std::string& uri);
    bool isA(const LilvPlugin* plugin, const LilvPort* port, const Node& portClass) const;

    std::string reference_;
    // Declared first, so that it goes last: the nodes below are interned in it.
    std::unique_ptr<LilvWorld, WorldFree> world_;
    std::vector<const LilvPlugin*> plugins_;
    Node audioPort_, controlPort_, inputPort_, enabled_;
};

} // namespace kavet::cli
