// Events: what comes with a block besides its audio (parameter changes, gestures, notes) and
// what the plug-in sends back. Every event starts with a header that says its size, its
// sample time within the block and its type.
#pragma once

#include "base.h"

namespace kavet::clap {

struct EventHeader {
    uint32 size;     // of the whole event, header included
    uint32 time;     // sample offset in the block
    uint16 space_id; // whose event types `type` counts: kCoreEventSpace for the ones below
    uint16 type;
    uint32 flags; // kEventIsLive, kEventDontRecord
};

inline constexpr uint16 kCoreEventSpace = 0;

// EventHeader::flags.
inline constexpr uint32 kEventIsLive = 1u << 0;     // a user's live action
inline constexpr uint32 kEventDontRecord = 1u << 1; // not to be recorded as automation

// EventHeader::type in the core space. The note and MIDI events reach an effect without
// note ports only by a host's mistake, and are skipped.
inline constexpr uint16 kEventNoteOn = 0;
inline constexpr uint16 kEventNoteOff = 1;
inline constexpr uint16 kEventNoteChoke = 2;
inline constexpr uint16 kEventNoteEnd = 3;
inline constexpr uint16 kEventNoteExpression = 4;
inline constexpr uint16 kEventParamValue = 5;        // ParamValueEvent
inline constexpr uint16 kEventParamMod = 6;          // ParamModEvent
inline constexpr uint16 kEventParamGestureBegin = 7; // ParamGestureEvent
inline constexpr uint16 kEventParamGestureEnd = 8;   // ParamGestureEvent
inline constexpr uint16 kEventTransport = 9;
inline constexpr uint16 kEventMidi = 10;
inline constexpr uint16 kEventMidiSysex = 11;
inline constexpr uint16 kEventMidi2 = 12;

// A parameter's new value (the plain value of its range). The note address (note, port,
// channel, key; -1 is any) narrows it to voices: for an effect it is always -1.
struct ParamValueEvent {
    EventHeader header;
    Id param_id;
    void* cookie; // ParamInfo::cookie as the plug-in gave it, or null
    int32 note_id;
    int16 port_index;
    int16 channel;
    int16 key;
    double value;
};

// A modulation of a parameter: an amount added to its value, not stored.
struct ParamModEvent {
    EventHeader header;
    Id param_id;
    void* cookie;
    int32 note_id;
    int16 port_index;
    int16 channel;
    int16 key;
    double amount;
};

// The user took hold of a parameter's control, or let it go.
struct ParamGestureEvent {
    EventHeader header;
    Id param_id;
};

// The events of one block, in increasing time. [audio thread, or in Params::flush]
struct InputEvents {
    void* ctx; // the list's own
    uint32(KAVET_CLAP_CALL* size)(const InputEvents* list);
    // The event stays the list's; null for an index out of range.
    const EventHeader*(KAVET_CLAP_CALL* get)(const InputEvents* list, uint32 index);
};

// Where the plug-in puts its events, in increasing time. The list copies each event.
struct OutputEvents {
    void* ctx;
    // False when the event could not be taken.
    bool(KAVET_CLAP_CALL* try_push)(const OutputEvents* list, const EventHeader* event);
};

static_assert(sizeof(EventHeader) == 16);
static_assert(offsetof(ParamValueEvent, param_id) == 16);
static_assert(offsetof(ParamValueEvent, note_id) == (sizeof(void*) == 8 ? 32 : 24));
static_assert(offsetof(ParamValueEvent, key) == (sizeof(void*) == 8 ? 40 : 32));
static_assert(offsetof(ParamValueEvent, value) == offsetof(ParamModEvent, amount));
static_assert(sizeof(ParamGestureEvent) == 20);
#if !defined(__i386__) || defined(_WIN32)
// A double is aligned to 8 bytes in a structure on every target built here (on Linux's
// 32-bit x86 it would be 4).
static_assert(offsetof(ParamValueEvent, value) == (sizeof(void*) == 8 ? 48 : 40));
static_assert(sizeof(ParamValueEvent) == (sizeof(void*) == 8 ? 56 : 48));
#endif

} // namespace kavet::clap
