// The state bridge: the effect's own chunk travels whole and unaltered in the host chunk
// `vlmr` (data from byte 56 of the record). Other chunk IDs are the framework's.
#include "template_process_rtas.h"

#include "core/plug.h"

#include <cstring>

std::int32_t CTemplateNoUIProcessRTAS::GetChunk(ptfw::OSType id, ptfw::SFicPlugInChunk* chunk) {
    if (id != kEffectChunkID) return CTemplateNoUIProcess::GetChunk(id, chunk);
    const ChunkEntry* entry = FindChunk(id);
    if (effect_ == nullptr || entry == nullptr) return ptfw::kErrUnknownChunk;
    void* data = nullptr;
    const VstInt32 size = effect_->getChunk(&data, false);
    // The host sized the record from the registered size: never write past it.
    if (size < 0 || data == nullptr || static_cast<std::uint32_t>(size) > entry->dataBytes)
        return ptfw::kErrChunkMismatch;
    chunk->fSize = ptfw::kChunkHeaderBytes + size;
    std::memcpy(ptfw::ChunkData(chunk), data, static_cast<std::size_t>(size));
    return ptfw::kNoErr;
}

std::int32_t CTemplateNoUIProcessRTAS::SetChunk(ptfw::OSType id,
                                                const ptfw::SFicPlugInChunk* chunk) {
    if (id != kEffectChunkID) return CTemplateNoUIProcess::SetChunk(id, chunk);
    if (effect_ == nullptr || FindChunk(id) == nullptr) return ptfw::kErrUnknownChunk;
    if (chunk->fSize < ptfw::kChunkHeaderBytes) return ptfw::kErrChunkTooSmall;
    // The effect validates the contents (a wrong size is refused and its state kept); the
    // host hears success either way. setChunk only reads the bytes.
    (void)effect_->setChunk(const_cast<unsigned char*>(ptfw::ChunkData(chunk)),
                            chunk->fSize - ptfw::kChunkHeaderBytes, false);
    return ptfw::kNoErr;
}
