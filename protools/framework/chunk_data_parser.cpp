#include "chunk_data_parser.h"

namespace ptfw {

void WriteBigEndian32(unsigned char* out, std::uint32_t value) {
    out[0] = static_cast<unsigned char>(value >> 24);
    out[1] = static_cast<unsigned char>(value >> 16);
    out[2] = static_cast<unsigned char>(value >> 8);
    out[3] = static_cast<unsigned char>(value);
}

std::uint32_t ReadBigEndian32(const unsigned char* in) {
    return (static_cast<std::uint32_t>(in[0]) << 24) | (static_cast<std::uint32_t>(in[1]) << 16) |
           (static_cast<std::uint32_t>(in[2]) << 8) | static_cast<std::uint32_t>(in[3]);
}

ChunkDataParser::ChunkDataParser(const unsigned char* data, std::size_t size) {
    valid_ = false;
    if (data == nullptr || size < 8 || size % 8 != 0) return;
    if (ReadBigEndian32(data) != kChunkDataParserMagic) return;
    const std::uint32_t count = ReadBigEndian32(data + 4);
    if (count != size / 8 - 1) return;
    for (std::size_t at = 8; at < size; at += 8)
        entries_.push_back({ReadBigEndian32(data + at),
                            static_cast<std::int32_t>(ReadBigEndian32(data + at + 4))});
    valid_ = true;
}

void ChunkDataParser::AddLong(OSType tag, std::int32_t value) {
    entries_.push_back({tag, value});
}

bool ChunkDataParser::FindLong(OSType tag, std::int32_t* value) const {
    for (const Entry& e : entries_)
        if (e.tag == tag) {
            if (value) *value = e.value;
            return true;
        }
    return false;
}

std::vector<unsigned char> ChunkDataParser::GetBytes() const {
    std::vector<unsigned char> bytes(8 + 8 * entries_.size());
    WriteBigEndian32(bytes.data(), kChunkDataParserMagic);
    WriteBigEndian32(bytes.data() + 4, static_cast<std::uint32_t>(entries_.size()));
    std::size_t at = 8;
    for (const Entry& e : entries_) {
        WriteBigEndian32(bytes.data() + at, e.tag);
        WriteBigEndian32(bytes.data() + at + 4, static_cast<std::uint32_t>(e.value));
        at += 8;
    }
    return bytes;
}

} // namespace ptfw
