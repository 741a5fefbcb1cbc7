// kavet info [--plugin PATH|BUNDLE|URI]: what a module tells a host about itself, in any
// of its formats (VST 2.4, VST 3, CLAP, host format), or what an LV2 plug-in's description says.
#include "arguments.h"
#include "clap_info.h"
#include "clap_processor.h"
#include "commands.h"
#include "hosts/common/host_error.h"
#include "hosts/common/vst_plugin.h"
#include "lv2_info.h"
#include "module_kind.h"
#include "module_paths.h"
#include "pt_info.h"
#include "usage_error.h"
#include "vst3_bundle.h"
#include "vst3_info.h"

#include <cctype>
#include <cstdio>
#include <memory>

namespace kavet::cli {

namespace {

std::string fourChars(VstInt32 code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c =
            static_cast<unsigned char>((static_cast<std::uint32_t>(code) >> shift) & 0xFF);
        text += std::isprint(c) ? static_cast<char>(c) : '?';
    }
    return text;
}

std::string decodeFlags(VstInt32 flags) {
    static const struct {
        VstInt32 bit;
        const char* name;
    } known[] = {
        {effFlagsHasEditor, "has-editor"},
        {effFlagsCanMono, "can-mono"},
        {effFlagsCanReplacing, "can-replacing"},
        {effFlagsProgramChunks, "program-chunks"},
        {effFlagsIsSynth, "is-synth"},
        {effFlagsNoSoundInStop, "no-sound-in-stop"},
        {effFlagsCanDoubleReplacing, "can-double-replacing"},
    };
    std::string text;
    VstInt32 rest = flags;
    for (const auto& flag : known) {
        if ((flags & flag.bit) == 0) continue;
        text += std::string(text.empty() ? "" : " ") + flag.name;
        rest &= ~flag.bit;
    }
    if (rest != 0) {
        char other[32];
        std::snprintf(other, sizeof other, "%sother 0x%X", text.empty() ? "" : " ",
                      static_cast<unsigned>(rest));
        text += other;
    }
    return text.empty() ? "none" : text;
}

void printRecord(host::VstPlugin& plugin) {
    const AEffect& e = plugin.effect();
    std::printf("module          %s (entry %s)\n", plugin.module().path().c_str(),
                plugin.module().entryName());
    std::printf("magic           0x%08X '%s'\n", static_cast<unsigned>(e.magic),
                fourChars(e.magic).c_str());
    std::printf("unique ID       '%s' (0x%08X)\n", fourChars(e.uniqueID).c_str(),
                static_cast<unsigned>(e.uniqueID));
    std::printf("version         %d\n", e.version);
    std::printf("programs        %d\n", e.numPrograms);
    std::printf("parameters      %d\n", e.numParams);
    std::printf("inputs          %d\n", e.numInputs);
    std::printf("outputs         %d\n", e.numOutputs);
    std::printf("flags           0x%08X %s\n", static_cast<unsigned>(e.flags),
                decodeFlags(e.flags).c_str());
    std::printf("initial delay   %d\n", e.initialDelay);
    std::printf("vendor          %s\n", plugin.vendorString().c_str());
    std::printf("product         %s\n", plugin.productString().c_str());
    std::printf("vendor version  %lld\n", static_cast<long long>(plugin.vendorVersion()));
    std::printf("VST version     %lld\n", static_cast<long long>(plugin.vstVersion()));
}

void printParameters(host::VstPlugin& plugin) {
    std::printf("%-5s %-12s %-14s %s\n", "index", "name", "label", "display");
    for (int i = 0; i < plugin.numParams(); ++i)
        std::printf("%5d %-12s %-14s %s\n", i, plugin.parameterName(i).c_str(),
                    plugin.parameterLabel(i).c_str(), plugin.parameterDisplay(i).c_str());
}

} // namespace

void runInfo(const std::vector<std::string>& args) {
    std::string path;
    const auto positional =
        parseArguments(args, {{"--plugin", true, [&](const std::string& value) { path = value; }}});
    if (!positional.empty()) throw UsageError("info: unexpected argument '" + positional[0] + "'");
    if (path.empty()) path = defaultStereoModule();
    if (namesVst3Bundle(path)) {
        printVst3Info(path);
        return;
    }
    const ModuleKind kind = moduleKind(path);
    if (takenAsClap(path, kind)) {
        printClapInfo(path);
        return;
    }
    if (namesLv2Plugin(path)) {
        printLv2Info(Lv2World(path));
        return;
    }
    switch (kind) {
    case ModuleKind::HostFormat:
        printHostFormatInfo(PtProcessorModule(path));
        return;
    case ModuleKind::Vst3:
        printVst3Info(path);
        return;
    case ModuleKind::Clap: // above
    case ModuleKind::Neither:
        throw host::HostError(neitherFormatMessage(path));
    case ModuleKind::Vst:
    case ModuleKind::Unreadable: // the VST loader reports what is wrong with the file
        break;
    }
    auto module = std::make_shared<const host::VstModule>(path);
    host::VstPlugin plugin(module);
    printRecord(plugin);
    printParameters(plugin);
}

} // namespace kavet::cli
