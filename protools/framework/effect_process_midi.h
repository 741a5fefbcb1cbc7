// CEffectProcessMIDI: a process with a MIDI connection, kept in the chunk `midi` written
// with ChunkDataParser (entries 'vers' = 1 and 'node' = the connected node, -1 for none).
#pragma once

#include "effect_process.h"

inline constexpr ptfw::OSType kMIDIChunkID = ptfw::FourCC("midi");
inline constexpr const char* kMIDIChunkName = "MIDI Connection";

class CEffectProcessMIDI : public virtual CEffectProcess {
public:
    CEffectProcessMIDI();

    std::int32_t GetMIDINode() const { return node_; }
    void SetMIDINode(std::int32_t node) { node_ = node < -1 ? -1 : node; }

    std::int32_t GetChunk(ptfw::OSType id, ptfw::SFicPlugInChunk* chunk) override;
    std::int32_t SetChunk(ptfw::OSType id, const ptfw::SFicPlugInChunk* chunk) override;

private:
    std::int32_t node_ = -1;
};
