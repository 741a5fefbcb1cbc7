#include "pe_image.h"

#include <stdexcept>

namespace kavet::test {

namespace {

// Offsets and sizes of the PE format (all fields little-endian).
constexpr std::size_t kLfanewAt = 0x3c;      // DOS header: file offset of "PE\0\0"
constexpr std::size_t kCoffBytes = 20;       // machine, section count, ..., characteristics
constexpr std::size_t kSectionBytes = 40;    // name, virtual size and address, raw size, ...
constexpr std::uint16_t kPe32 = 0x10b;       // optional header magic, 32-bit
constexpr std::uint16_t kPe32Plus = 0x20b;   // 64-bit
constexpr std::size_t kDirectoriesPe32 = 96; // data directories in the optional header
constexpr std::size_t kDirectoriesPe32Plus = 112;
constexpr std::uint32_t kExportDirectory = 0;
constexpr std::uint32_t kImportDirectory = 1;
constexpr std::uint32_t kResourceDirectory = 2;
constexpr std::uint32_t kDelayImportDirectory = 13;
constexpr std::size_t kImportDescriptorBytes = 20;
constexpr std::size_t kDelayDescriptorBytes = 32;
constexpr std::uint32_t kSubdirectory = 0x80000000u; // resource entry: a directory follows
constexpr std::uint32_t kNamedEntry = 0x80000000u;   // resource entry: a name, not an id
// Upper bounds that no module of the project comes near; a corrupt count stops here.
constexpr std::uint32_t kMaxEntries = 65536;

struct Section {
    std::uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

class Reader {
public:
    explicit Reader(const std::vector<unsigned char>& bytes) : d(bytes) {}

    std::uint16_t u16(std::size_t at) const {
        need(at, 2);
        return static_cast<std::uint16_t>(d[at] | d[at + 1] << 8);
    }
    std::uint32_t u32(std::size_t at) const {
        need(at, 4);
        return static_cast<std::uint32_t>(d[at]) | static_cast<std::uint32_t>(d[at + 1]) << 8 |
               static_cast<std::uint32_t>(d[at + 2]) << 16 |
               static_cast<std::uint32_t>(d[at + 3]) << 24;
    }
    // The zero-terminated text at `at`.
    std::string text(std::size_t at) const {
        std::string s;
        for (;; ++at) {
            need(at, 1);
            if (d[at] == 0) return s;
            s += static_cast<char>(d[at]);
        }
    }
    std::vector<unsigned char> bytes(std::size_t at, std::size_t count) const {
        need(at, count);
        return {d.begin() + static_cast<std::ptrdiff_t>(at),
                d.begin() + static_cast<std::ptrdiff_t>(at + count)};
    }

    void readSections(std::size_t at, std::uint16_t count) {
        for (std::uint16_t i = 0; i < count; ++i, at += kSectionBytes)
            sections.push_back({u32(at + 12), u32(at + 8), u32(at + 20), u32(at + 16)});
    }
    // The file offset of a relative virtual address: inside the raw data of the section whose
    // virtual range holds it.
    std::size_t offset(std::uint32_t rva) const {
        for (const Section& s : sections) {
            const std::uint32_t span = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
            if (rva >= s.virtualAddress && rva - s.virtualAddress < span) {
                if (rva - s.virtualAddress >= s.rawSize)
                    throw std::runtime_error("address in a section's uninitialised tail");
                return std::size_t{s.rawOffset} + (rva - s.virtualAddress);
            }
        }
        throw std::runtime_error("address " + std::to_string(rva) + " in no section");
    }

private:
    void need(std::size_t at, std::size_t count) const {
        if (at > d.size() || d.size() - at < count)
            throw std::runtime_error("field at " + std::to_string(at) + " past the end");
    }

    const std::vector<unsigned char>& d;
    std::vector<Section> sections;
};

void readExports(const Reader& r, std::uint32_t rva, PeImage& image) {
    const std::size_t at = r.offset(rva);
    const std::uint32_t count = r.u32(at + 24);
    if (count > kMaxEntries) throw std::runtime_error("export name count out of range");
    const std::size_t names = r.offset(r.u32(at + 32));
    for (std::uint32_t i = 0; i < count; ++i)
        image.exports.push_back(r.text(r.offset(r.u32(names + 4 * i))));
}

// Descriptors of `size` bytes with the DLL name's address at `nameAt`, up to an all-zero one.
void readImports(const Reader& r, std::uint32_t rva, std::size_t size, std::size_t nameAt,
                 PeImage& image) {
    std::size_t at = r.offset(rva);
    for (std::uint32_t i = 0; i < kMaxEntries; ++i, at += size) {
        bool empty = true;
        for (std::size_t b = 0; b < size; b += 4)
            empty = empty && r.u32(at + b) == 0;
        if (empty) return;
        image.imports.push_back(r.text(r.offset(r.u32(at + nameAt))));
    }
    throw std::runtime_error("import table without end");
}

// Type, then id, then language: the first language's data of every resource with an id.
void readResources(const Reader& r, std::uint32_t rva, PeImage& image) {
    const std::size_t root = r.offset(rva);
    auto entries = [&](std::size_t directory, auto&& each) {
        const std::uint32_t count = std::uint32_t{r.u16(directory + 12)} + r.u16(directory + 14);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t entry = directory + 16 + 8 * std::size_t{i};
            each(r.u32(entry), r.u32(entry + 4));
        }
    };
    auto subdirectory = [&](std::uint32_t target) {
        if (!(target & kSubdirectory)) throw std::runtime_error("resource data where a table is");
        return root + (target & ~kSubdirectory);
    };
    entries(root, [&](std::uint32_t type, std::uint32_t typeTarget) {
        if (type & kNamedEntry) return;
        entries(subdirectory(typeTarget), [&](std::uint32_t id, std::uint32_t idTarget) {
            if (id & kNamedEntry) return;
            const std::size_t languages = subdirectory(idTarget);
            if (r.u16(languages + 12) + r.u16(languages + 14) == 0) return;
            const std::uint32_t dataEntry = r.u32(languages + 16 + 4);
            if (dataEntry & kSubdirectory) throw std::runtime_error("a fourth resource level");
            const std::size_t data = root + dataEntry;
            image.resources[type][id] = r.bytes(r.offset(r.u32(data)), r.u32(data + 4));
        });
    });
}

} // namespace

std::optional<PeImage> readPeImage(const std::vector<unsigned char>& bytes, std::string& error) {
    try {
        Reader r(bytes);
        if (r.u16(0) != 0x5a4d) throw std::runtime_error("no MZ signature");
        const std::size_t pe = r.u32(kLfanewAt);
        if (r.u32(pe) != 0x00004550) throw std::runtime_error("no PE signature at e_lfanew");
        const std::size_t coff = pe + 4;
        PeImage image;
        image.machine = r.u16(coff);
        image.characteristics = r.u16(coff + 18);
        const std::size_t optional = coff + kCoffBytes;
        image.magic = r.u16(optional);
        std::size_t directories = 0;
        if (image.magic == kPe32)
            directories = optional + kDirectoriesPe32;
        else if (image.magic == kPe32Plus)
            directories = optional + kDirectoriesPe32Plus;
        else
            throw std::runtime_error("optional header magic " + std::to_string(image.magic));
        const std::uint32_t directoryCount = r.u32(directories - 4);
        r.readSections(optional + r.u16(coff + 16), r.u16(coff + 2));

        // The address of data directory `index`, 0 when the image has none.
        auto directory = [&](std::uint32_t index) -> std::uint32_t {
            if (index >= directoryCount) return 0;
            return r.u32(directories + 8 * std::size_t{index});
        };
        if (const std::uint32_t rva = directory(kExportDirectory)) readExports(r, rva, image);
        if (const std::uint32_t rva = directory(kImportDirectory))
            readImports(r, rva, kImportDescriptorBytes, 12, image);
        if (const std::uint32_t rva = directory(kDelayImportDirectory))
            readImports(r, rva, kDelayDescriptorBytes, 4, image);
        if (const std::uint32_t rva = directory(kResourceDirectory)) readResources(r, rva, image);
        return image;
    } catch (const std::exception& e) {
        error = e.what();
        return std::nullopt;
    }
}

} // namespace kavet::test
