#include "lv2_info.h"

#include <cmath>
#include <cstdio>

namespace kavet::cli {

namespace {

constexpr const char* kMinorVersion = "http://lv2plug.in/ns/lv2core#minorVersion";
constexpr const char* kMicroVersion = "http://lv2plug.in/ns/lv2core#microVersion";

// A node that its owner frees, as text ("none" for null).
const char* textOf(const LilvNode* node) {
    return node != nullptr ? lilv_node_as_string(node) : "none";
}

// A node the caller owns, as text ("none" for null), freed here.
std::string takeText(LilvNode* node) {
    std::string text = textOf(node);
    lilv_node_free(node);
    return text;
}

// A file URI as its path (the URI itself when it is not a local file).
std::string pathOf(const LilvNode* uri) {
    if (uri == nullptr) return "none";
    char* path = lilv_file_uri_parse(lilv_node_as_uri(uri), nullptr);
    std::string text = path != nullptr ? path : lilv_node_as_uri(uri);
    lilv_free(path);
    return text;
}

// URIs separated by spaces, freed here.
std::string takeList(LilvNodes* nodes) {
    std::string text;
    LILV_FOREACH(nodes, i, nodes) {
        text.append(text.empty() ? "" : " ").append(lilv_node_as_string(lilv_nodes_get(nodes, i)));
    }
    lilv_nodes_free(nodes);
    return text.empty() ? "none" : text;
}

std::string number(float value) {
    if (std::isnan(value)) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

void printDescription(const Lv2World& world, const LilvPlugin* plugin) {
    std::printf("plug-in         %s\n", lilv_node_as_uri(lilv_plugin_get_uri(plugin)));
    std::printf("name            %s\n", takeText(lilv_plugin_get_name(plugin)).c_str());
    std::printf("author          %s\n", takeText(lilv_plugin_get_author_name(plugin)).c_str());
    std::printf("bundle          %s\n", pathOf(lilv_plugin_get_bundle_uri(plugin)).c_str());
    std::printf("binary          %s\n", pathOf(lilv_plugin_get_library_uri(plugin)).c_str());
    const std::string minor = world.pluginValue(plugin, kMinorVersion);
    const std::string micro = world.pluginValue(plugin, kMicroVersion);
    std::printf("version         minor %s, micro %s\n", minor.empty() ? "-" : minor.c_str(),
                micro.empty() ? "-" : micro.c_str());
    std::printf("required        %s\n",
                takeList(lilv_plugin_get_required_features(plugin)).c_str());
    std::printf("optional        %s\n",
                takeList(lilv_plugin_get_optional_features(plugin)).c_str());
    std::printf("extension data  %s\n", takeList(lilv_plugin_get_extension_data(plugin)).c_str());
    std::printf("latency         %s\n",
                lilv_plugin_has_latency(plugin)
                    ? ("port " + std::to_string(lilv_plugin_get_latency_port_index(plugin))).c_str()
                    : "none");
}

std::string portKind(const Lv2World& world, const LilvPlugin* plugin, const LilvPort* port) {
    std::string kind = world.isAudio(plugin, port)     ? "audio"
                       : world.isControl(plugin, port) ? "control"
                                                       : "other";
    kind += world.isInput(plugin, port) ? " in" : " out";
    if (port == world.enablePort(plugin)) kind += ", enable";
    return kind;
}

void printPorts(const Lv2World& world, const LilvPlugin* plugin) {
    const std::uint32_t count = lilv_plugin_get_num_ports(plugin);
    std::vector<float> minimum(count), maximum(count), defaults(count);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
    std::printf("%-5s %-10s %-10s %-19s %9s %9s %9s\n", "index", "symbol", "name", "kind",
                "minimum", "default", "maximum");
    for (std::uint32_t i = 0; i < count; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        std::printf("%5u %-10s %-10s %-19s %9s %9s %9s\n", i,
                    textOf(lilv_port_get_symbol(plugin, port)),
                    takeText(lilv_port_get_name(plugin, port)).c_str(),
                    portKind(world, plugin, port).c_str(), number(minimum[i]).c_str(),
                    number(defaults[i]).c_str(), number(maximum[i]).c_str());
    }
}

} // namespace

void printLv2Info(const Lv2World& world) {
    bool first = true;
    for (const LilvPlugin* plugin : world.plugins()) {
        if (!first) std::printf("\n");
        first = false;
        printDescription(world, plugin);
        printPorts(world, plugin);
    }
}

} // namespace kavet::cli
