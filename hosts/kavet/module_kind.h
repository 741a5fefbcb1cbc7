// Which plug-in format a module file is, told by its exports alone (the dynamic symbol
// table of the ELF file) without running any of its code: a host-format module must find
// the host libraries in place before it is mapped.
#pragma once

#include <string>

namespace kavet::cli {

enum class ModuleKind {
    Unreadable, // missing, a folder, or not an ELF shared object: the loader will say why
    Vst,        // VSTPluginMain or main
    HostFormat, // NewPlugIn and _PI_GetRoutineDescriptor
    Vst3,       // GetPluginFactory or ModuleEntry (a VST 3 bundle's binary), without the above
    Clap,       // clap_entry, without the above
    Neither,
};

ModuleKind moduleKind(const std::string& path);

// The one-line refusal of a module that is of no format kavet loads.
std::string neitherFormatMessage(const std::string& path);

} // namespace kavet::cli
