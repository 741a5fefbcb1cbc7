// What a Windows loader reads of a PE module (DLL or EXE), read from the file's bytes: the
// machine, the optional header's format, the exported names, the DLLs imported (directly
// or delay-loaded) and the resources. Tables are found through the optional header's data
// directories and their relative virtual addresses mapped to file offsets through the
// section table, as the loader maps the sections.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kavet::test {

struct PeImage {
    std::uint16_t machine = 0;         // COFF header: 0x14c i386, 0x8664 x86-64
    std::uint16_t characteristics = 0; // COFF header: 0x2000 for a DLL
    std::uint16_t magic = 0;           // optional header: 0x10b PE32, 0x20b PE32+
    std::vector<std::string> exports;  // names in the export table's order
    std::vector<std::string> imports;  // DLL names of the import and delay-import tables
    // Resources of one type by integer id: the bytes of each (its first language).
    std::map<std::uint32_t, std::map<std::uint32_t, std::vector<unsigned char>>> resources;
};

// Reads a PE image; nothing when the bytes are not one or a table points outside them (with
// the reason in `error`).
std::optional<PeImage> readPeImage(const std::vector<unsigned char>& bytes, std::string& error);

} // namespace kavet::test
