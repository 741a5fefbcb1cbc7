#include "effect_process_midi.h"

#include "chunk_data_parser.h"

#include <cstring>

namespace {

constexpr ptfw::OSType kVersionTag = ptfw::FourCC("vers");
constexpr ptfw::OSType kNodeTag = ptfw::FourCC("node");

ptfw::ChunkDataParser Describe(std::int32_t node) {
    ptfw::ChunkDataParser parser;
    parser.AddLong(kVersionTag, 1);
    parser.AddLong(kNodeTag, node);
    return parser;
}

} // namespace

CEffectProcessMIDI::CEffectProcessMIDI() {
    AddChunk(kMIDIChunkID, kMIDIChunkName,
             static_cast<std::uint32_t>(Describe(-1).GetBytes().size()));
}

std::int32_t CEffectProcessMIDI::GetChunk(ptfw::OSType id, ptfw::SFicPlugInChunk* chunk) {
    if (id != kMIDIChunkID) return CEffectProcess::GetChunk(id, chunk);
    const std::vector<unsigned char> bytes = Describe(node_).GetBytes();
    std::memcpy(ptfw::ChunkData(chunk), bytes.data(), bytes.size());
    chunk->fSize = static_cast<std::int32_t>(ptfw::kChunkHeaderBytes + bytes.size());
    return ptfw::kNoErr;
}

std::int32_t CEffectProcessMIDI::SetChunk(ptfw::OSType id, const ptfw::SFicPlugInChunk* chunk) {
    if (id != kMIDIChunkID) return CEffectProcess::SetChunk(id, chunk);
    const ptfw::ChunkDataParser parser(
        ptfw::ChunkData(chunk), static_cast<std::size_t>(chunk->fSize) - ptfw::kChunkHeaderBytes);
    std::int32_t version = 0, node = -1;
    if (!parser.IsValid() || !parser.FindLong(kVersionTag, &version) || version != 1 ||
        !parser.FindLong(kNodeTag, &node))
        return ptfw::kErrChunkMismatch;
    SetMIDINode(node);
    return ptfw::kNoErr;
}
