// The host's CLAP event lists: the events a block (or a flush) hands the plug-in, and the
// list the plug-in pushes its own events into. Both keep their events in storage of fixed
// size made once, so that filling them for a block allocates nothing; any bytes may be put
// in an input list (a test's or a fuzzer's malformed events among them).
#pragma once

#include "clap/events.h"

#include <cstddef>
#include <span>
#include <vector>

namespace kavet::host {

// Events in the order they were added, each copied whole (its header's size) into storage
// aligned to 8 bytes.
class EventList {
public:
    // Room for `maxEvents` events of `maxBytes` bytes in all.
    explicit EventList(std::size_t maxEvents = 1024, std::size_t maxBytes = 64 * 1024);

    // Appends the event `header` starts (header->size bytes); false (nothing added) when it
    // does not fit or says it is smaller than a header.
    [[nodiscard]] bool push(const clap::EventHeader* header);
    // Appends `bytes` as one event as they are, whatever the header in them says; false when
    // they do not fit or are shorter than a header.
    [[nodiscard]] bool pushRaw(std::span<const unsigned char> bytes);
    void clear();

    std::size_t size() const { return offsets_.size(); }
    bool empty() const { return offsets_.empty(); }
    // The event at `index`, or null out of range.
    const clap::EventHeader* at(std::size_t index) const;
    // Events that did not fit since the last clear.
    std::size_t refused() const { return refused_; }

private:
    std::vector<std::size_t> offsets_;
    std::vector<unsigned char> storage_; // its capacity is the list's
    std::size_t used_ = 0;
    std::size_t refused_ = 0;
};

// One parameter value event of the core space: `value` (plain) for `id` from sample `time`.
clap::ParamValueEvent paramValueEvent(clap::uint32 time, clap::Id id, double value,
                                      void* cookie = nullptr);
clap::ParamGestureEvent gestureEvent(clap::uint16 type, clap::uint32 time, clap::Id id);

// An EventList as the plug-in reads it (clap::InputEvents), [audio thread] or in flush.
class InputEventsView {
public:
    explicit InputEventsView(const EventList& list);
    InputEventsView(const InputEventsView&) = delete;
    InputEventsView& operator=(const InputEventsView&) = delete;
    const clap::InputEvents* get() const { return &events_; }

private:
    clap::InputEvents events_;
};

// An EventList the plug-in pushes into (clap::OutputEvents): each event is copied; one that
// does not fit, or whose header is null or too small, is refused (try_push answers false).
class OutputEventsView {
public:
    explicit OutputEventsView(EventList& list);
    OutputEventsView(const OutputEventsView&) = delete;
    OutputEventsView& operator=(const OutputEventsView&) = delete;
    const clap::OutputEvents* get() const { return &events_; }

private:
    clap::OutputEvents events_;
};

// A parameter event as the tests compare them: the type (value or gesture), the id and,
// for a value, the value.
struct ParamEvent {
    clap::uint16 type;
    clap::Id id;
    double value = 0.0; // kEventParamValue only
    bool operator==(const ParamEvent&) const = default;
};

// The parameter events (value, gesture begin and end) of the core space in `list`, in order;
// other events are left out.
std::vector<ParamEvent> paramEvents(const EventList& list);

} // namespace kavet::host
