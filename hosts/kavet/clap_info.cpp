#include "clap_info.h"

#include "clap_processor.h"

#include <cstdio>
#include <cstring>

namespace kavet::cli {

namespace {

std::string orNone(const std::string& text) {
    return text.empty() ? "none" : text;
}

std::string versionText(const clap::Version& v) {
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
           std::to_string(v.revision);
}

// The names of the flags set, joined by commas; "none" for none, "other 0x..." for the rest.
std::string paramFlags(clap::uint32 flags) {
    static const struct {
        clap::uint32 bit;
        const char* name;
    } known[] = {
        {clap::kParamIsStepped, "stepped"},
        {clap::kParamIsPeriodic, "periodic"},
        {clap::kParamIsHidden, "hidden"},
        {clap::kParamIsReadonly, "read-only"},
        {clap::kParamIsBypass, "bypass"},
        {clap::kParamIsAutomatable, "automatable"},
        {clap::kParamIsModulatable, "modulatable"},
        {clap::kParamRequiresProcess, "requires-process"},
        {clap::kParamIsEnum, "enum"},
    };
    std::string text;
    clap::uint32 rest = flags;
    for (const auto& flag : known) {
        if ((flags & flag.bit) == 0) continue;
        text.append(text.empty() ? "" : ",").append(flag.name);
        rest &= ~flag.bit;
    }
    if (rest != 0) {
        char other[32];
        std::snprintf(other, sizeof other, "other 0x%X", static_cast<unsigned>(rest));
        text.append(text.empty() ? "" : ",").append(other);
    }
    return text.empty() ? "none" : text;
}

template <std::size_t N> std::string field(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

// The plug-in's text for `value`, or "-" when it gives none.
std::string valueText(const host::ClapPlugin& plugin, clap::Id id, double value) {
    const clap::PluginParams* params = plugin.params();
    char text[256] = {};
    if (params == nullptr || params->value_to_text == nullptr ||
        !params->value_to_text(plugin.plugin(), id, value, text, sizeof text))
        return "-";
    return orNone(field(text));
}

void printParameters(const host::ClapPlugin& plugin) {
    const std::vector<clap::ParamInfo> infos = plugin.paramInfos();
    std::printf("parameters      %zu\n", infos.size());
    if (infos.empty()) return;
    std::printf("%5s %-12s %-19s %8s %-8s %s\n", "id", "name", "range", "default", "text", "flags");
    for (const clap::ParamInfo& p : infos) {
        char range[64];
        std::snprintf(range, sizeof range, "%g .. %g", p.min_value, p.max_value);
        std::printf("%5u %-12s %-19s %8.6f %-8s %s\n", p.id, field(p.name).c_str(), range,
                    p.default_value, valueText(plugin, p.id, p.default_value).c_str(),
                    paramFlags(p.flags).c_str());
    }
}

void printPlugin(const std::shared_ptr<const host::ClapModule>& module,
                 const host::ClapDescriptor& d) {
    std::printf("id              %s\n", d.id.c_str());
    std::printf("name            %s\n", d.name.c_str());
    std::printf("vendor          %s\n", orNone(d.vendor).c_str());
    std::printf("version         %s\n", orNone(d.version).c_str());
    std::printf("URL             %s\n", orNone(d.url).c_str());
    std::printf("description     %s\n", orNone(d.description).c_str());
    std::string features;
    for (const std::string& f : d.features)
        features.append(features.empty() ? "" : " ").append(f);
    std::printf("features        %s\n", orNone(features).c_str());
    const host::ClapPlugin plugin(module, d.id);
    std::printf("audio ports     %u in, %u out\n", plugin.inputChannels(), plugin.outputChannels());
    std::printf("64-bit samples  %s\n", plugin.takes64Bits() ? "yes" : "no");
    printParameters(plugin);
}

} // namespace

void printClapInfo(const std::string& path) {
    const std::shared_ptr<const host::ClapModule> module = loadClapModule(path);
    std::printf("module          %s (CLAP %s)\n", path.c_str(),
                versionText(module->entry().clap_version).c_str());
    const std::vector<host::ClapDescriptor> descriptors = module->descriptors();
    std::printf("plug-ins        %zu\n", descriptors.size());
    for (const host::ClapDescriptor& d : descriptors) {
        std::printf("\n");
        printPlugin(module, d);
    }
}

} // namespace kavet::cli
