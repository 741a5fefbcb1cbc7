// One call of process(): the block's audio buffers, its events, and what the plug-in answers.
#pragma once

#include "events.h"

namespace kavet::clap {

// One port's channels. Exactly one of data32 and data64 is set: 32-bit samples are always
// offered, 64-bit ones only to a port that says it takes them.
struct AudioBuffer {
    float** data32;
    double** data64;
    uint32 channel_count;
    uint32 latency;       // to or from the audio interface, in samples
    uint64 constant_mask; // bit n: every sample of channel n equals its first (a hint; the
                          // channel is still filled)
};

struct EventTransport; // transport and tempo: not read by this effect

struct Process {
    int64 steady_time;   // a sample counter that only grows, or -1
    uint32 frames_count; // samples in this block
    const EventTransport* transport;
    const AudioBuffer* audio_inputs; // one per input port, read-only
    AudioBuffer* audio_outputs;      // one per output port
    uint32 audio_inputs_count;
    uint32 audio_outputs_count;
    const InputEvents* in_events;
    const OutputEvents* out_events;
};

// What process() answers.
using ProcessStatus = int32;
inline constexpr ProcessStatus kProcessError = 0;    // the output is to be discarded
inline constexpr ProcessStatus kProcessContinue = 1; // call again
inline constexpr ProcessStatus kProcessContinueIfNotQuiet = 2;
inline constexpr ProcessStatus kProcessTail = 3;  // ask the plug-in's tail extension
inline constexpr ProcessStatus kProcessSleep = 4; // no need until the next event or input

static_assert(offsetof(AudioBuffer, channel_count) == 2 * sizeof(void*));
static_assert(offsetof(AudioBuffer, constant_mask) == 2 * sizeof(void*) + 8);
static_assert(sizeof(AudioBuffer) == (sizeof(void*) == 8 ? 32 : 24));
static_assert(offsetof(Process, frames_count) == 8);
static_assert(offsetof(Process, audio_inputs) == (sizeof(void*) == 8 ? 24 : 16));
static_assert(offsetof(Process, in_events) == (sizeof(void*) == 8 ? 48 : 32));
static_assert(sizeof(Process) == (sizeof(void*) == 8 ? 64 : 40));

} // namespace kavet::clap
