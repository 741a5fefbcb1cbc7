// Calls into the plug-in with the stack pointer at a chosen offset from 16-byte alignment.
//
// The 32-bit Windows calling convention guarantees only 4-byte stack alignment, and hosts
// built with other compilers call the plug-in that way; GCC code assumes 16 unless told
// otherwise, and an aligned SSE store to a misaligned stack slot faults. These calls let the
// host prove that every entry point copes with a stack at offset 0, 4, 8 or 12.
//
// 32-bit x86 only. The x64 convention requires the stack to be 16-byte aligned at every call
// instruction, from every caller; Windows itself (its DLLs, its exception unwinding) relies
// on it, so no working host calls with any other alignment, and the 64-bit test host calls
// the entry points directly.
#pragma once

#include "vst/aeffect.h"

#include <cstdint>

// Offsets of the stack pointer from 16-byte alignment at the call instruction.
inline constexpr int kStackOffsets[] = {0, 4, 8, 12};

// Calls the cdecl function `fn` with `count` 32-bit argument words, the stack pointer
// being `offset` bytes past a 16-byte boundary at the call; returns what the function
// left in EAX (so not for functions returning float).
VstIntPtr callWithStackOffset(const void* fn, const std::uint32_t* args, int count, int offset);

AEffect* entryWithStackOffset(const void* entry, audioMasterCallback host, int offset);
VstIntPtr dispatchWithStackOffset(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt, int offset);
void setParameterWithStackOffset(AEffect* effect, VstInt32 index, float value, int offset);
void processWithStackOffset(const void* fn, AEffect* effect, void* inputs, void* outputs,
                            VstInt32 frames, int offset);
