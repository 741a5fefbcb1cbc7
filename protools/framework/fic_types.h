// Basic types of the host-format plug-in interface: four-character codes, status values,
// stem formats and the host's chunk record.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ptfw {

// Four-character code: the first letter in the most significant byte.
using OSType = std::uint32_t;

constexpr OSType FourCC(const char (&text)[5]) {
    return (static_cast<OSType>(static_cast<unsigned char>(text[0])) << 24) |
           (static_cast<OSType>(static_cast<unsigned char>(text[1])) << 16) |
           (static_cast<OSType>(static_cast<unsigned char>(text[2])) << 8) |
           static_cast<OSType>(static_cast<unsigned char>(text[3]));
}

// Status values answered to the host: 0 is success, failures are negative.
enum Status : std::int32_t {
    kNoErr = 0,
    kErrBadIndex = -20001,              // control, type or chunk index out of range
    kErrUnknownChunk = -20002,          // no chunk of that ID is registered
    kErrChunkTooSmall = -20003,         // a record too short for its header or its data
    kErrChunkMismatch = -20004,         // a record whose ID or contents do not fit the request
    kErrNoGroup = -20005,               // the module has no plug-in group (not open)
    kErrBadArgument = -20006,           // null pointer or impossible value from the host
    kErrIncompleteDescription = -20007, // a group or type description lacks a required item
    kErrProcessCreation = -20008,       // the process factory returned nothing
    kErrNoView = -20009,                // the process has no view (or none created yet)
};

// Stem formats of the effect type's connections. The side-chain slot uses 0 for "none".
enum StemFormat : std::int32_t {
    kStemMono = 0,
    kStemStereo = 1,
};
constexpr std::int32_t kSideChainNone = 0;

// Channels of an input or output stem format; 0 for a format this framework does not know.
constexpr int ChannelsOfStem(std::int32_t format) {
    return format == kStemMono ? 1 : format == kStemStereo ? 2 : 0;
}

// The host's chunk record: a 56-byte header, then the data. fSize counts header and data.
struct SFicPlugInChunk {
    std::int32_t fSize;
    std::int32_t fVersion;
    OSType fManufacturerID;
    OSType fProductID;
    OSType fTypeID;
    OSType fChunkID;
    char fName[32];
};
static_assert(sizeof(SFicPlugInChunk) == 56);
constexpr std::int32_t kChunkHeaderBytes = 56;

inline unsigned char* ChunkData(SFicPlugInChunk* chunk) {
    return reinterpret_cast<unsigned char*>(chunk) + kChunkHeaderBytes;
}
inline const unsigned char* ChunkData(const SFicPlugInChunk* chunk) {
    return reinterpret_cast<const unsigned char*>(chunk) + kChunkHeaderBytes;
}

// Copies `text` into a fixed field of `size` bytes, always terminated.
void CopyField(char* field, std::size_t size, const char* text);

} // namespace ptfw
