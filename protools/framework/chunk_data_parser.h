// ChunkDataParser: the framework's small tagged format for chunk data. The data is a
// header entry ('CDP1', entry count) followed by entries of a four-character tag and a
// 32-bit signed value, every field most significant byte first.
#pragma once

#include "fic_types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ptfw {

class ChunkDataParser {
public:
    ChunkDataParser() = default; // empty, for writing
    // Reads `size` bytes; IsValid() is false unless they are a complete, consistent record.
    ChunkDataParser(const unsigned char* data, std::size_t size);

    void AddLong(OSType tag, std::int32_t value);
    // The first entry with `tag`; false (value untouched) when there is none.
    bool FindLong(OSType tag, std::int32_t* value) const;

    bool IsValid() const { return valid_; }
    // The serialised record.
    std::vector<unsigned char> GetBytes() const;

private:
    struct Entry {
        OSType tag;
        std::int32_t value;
    };
    std::vector<Entry> entries_;
    bool valid_ = true;
};

inline constexpr OSType kChunkDataParserMagic = FourCC("CDP1");

void WriteBigEndian32(unsigned char* out, std::uint32_t value);
std::uint32_t ReadBigEndian32(const unsigned char* in);

} // namespace ptfw
