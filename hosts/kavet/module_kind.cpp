#include "module_kind.h"

#include <algorithm>
#include <cstring>
#include <elf.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>
#include <vector>

namespace kavet::cli {

namespace {

using Bytes = std::vector<unsigned char>;

template <typename T> bool readAt(const Bytes& file, std::uint64_t offset, T& out) {
    if (offset > file.size() || file.size() - offset < sizeof(T)) return false;
    std::memcpy(&out, file.data() + offset, sizeof(T));
    return true;
}

// The names of the defined global symbols in the dynamic symbol table; false when the file
// is not an ELF file of this machine's byte order.
template <typename Ehdr, typename Shdr, typename Sym>
bool definedSymbols(const Bytes& file, std::set<std::string>& names) {
    Ehdr header;
    if (!readAt(file, 0, header) || header.e_shentsize != sizeof(Shdr)) return false;
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        Shdr section;
        if (!readAt(file, header.e_shoff + std::uint64_t{i} * sizeof(Shdr), section)) return false;
        if (section.sh_type != SHT_DYNSYM || section.sh_entsize != sizeof(Sym)) continue;
        Shdr strings;
        if (!readAt(file, header.e_shoff + std::uint64_t{section.sh_link} * sizeof(Shdr), strings))
            return false;
        for (std::uint64_t at = 0; at + sizeof(Sym) <= section.sh_size; at += sizeof(Sym)) {
            Sym symbol;
            if (!readAt(file, section.sh_offset + at, symbol)) return false;
            if (symbol.st_shndx == SHN_UNDEF || symbol.st_name >= strings.sh_size) continue;
            const std::uint64_t start = strings.sh_offset + symbol.st_name;
            if (start >= file.size()) continue;
            const auto* text = reinterpret_cast<const char*>(file.data() + start);
            names.emplace(text, strnlen(text, file.size() - start));
        }
    }
    return true;
}

} // namespace

ModuleKind moduleKind(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return ModuleKind::Unreadable;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return ModuleKind::Unreadable;
    // One read of the whole file: a module is some megabytes.
    Bytes file(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(file.size())))
        return ModuleKind::Unreadable;
    if (file.size() < EI_NIDENT || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0)
        return ModuleKind::Unreadable;
    std::set<std::string> names;
    const bool read = file[EI_CLASS] == ELFCLASS64
                          ? definedSymbols<Elf64_Ehdr, Elf64_Shdr, Elf64_Sym>(file, names)
                          : definedSymbols<Elf32_Ehdr, Elf32_Shdr, Elf32_Sym>(file, names);
    if (!read) return ModuleKind::Unreadable;
    if (names.count("NewPlugIn") && names.count("_PI_GetRoutineDescriptor"))
        return ModuleKind::HostFormat;
    if (names.count("VSTPluginMain") || names.count("main")) return ModuleKind::Vst;
    // ModuleEntry alone is VST 3 too: the loader then says that the factory is missing.
    if (names.count("GetPluginFactory") || names.count("ModuleEntry")) return ModuleKind::Vst3;
    if (names.count("clap_entry")) return ModuleKind::Clap;
    return ModuleKind::Neither;
}

std::string neitherFormatMessage(const std::string& path) {
    return "module '" + path +
           "' is not a plug-in: it exports neither VSTPluginMain nor main (VST 2.4), nor "
           "NewPlugIn and _PI_GetRoutineDescriptor (host format), nor GetPluginFactory (VST 3), "
           "nor clap_entry (CLAP); an LV2 plug-in is named by its bundle folder or its URI";
}

} // namespace kavet::cli
