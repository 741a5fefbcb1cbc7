#include "clap_events.h"

#include <cstring>

namespace kavet::host {

using namespace clap;

namespace {

constexpr std::size_t kAlignment = 8;

std::size_t alignedUp(std::size_t n) {
    return (n + kAlignment - 1) & ~(kAlignment - 1);
}

uint32 KAVET_CLAP_CALL inputSize(const InputEvents* self) {
    return static_cast<uint32>(static_cast<const EventList*>(self->ctx)->size());
}

const EventHeader* KAVET_CLAP_CALL inputGet(const InputEvents* self, uint32 index) {
    return static_cast<const EventList*>(self->ctx)->at(index);
}

bool KAVET_CLAP_CALL outputPush(const OutputEvents* self, const EventHeader* event) {
    return static_cast<EventList*>(self->ctx)->push(event);
}

} // namespace

EventList::EventList(std::size_t maxEvents, std::size_t maxBytes) : storage_(maxBytes) {
    offsets_.reserve(maxEvents);
}

bool EventList::push(const EventHeader* header) {
    if (header == nullptr || header->size < sizeof(EventHeader)) {
        ++refused_;
        return false;
    }
    return pushRaw({reinterpret_cast<const unsigned char*>(header), header->size});
}

bool EventList::pushRaw(std::span<const unsigned char> bytes) {
    const std::size_t at = alignedUp(used_);
    if (bytes.size() < sizeof(EventHeader) || offsets_.size() == offsets_.capacity() ||
        at > storage_.size() || storage_.size() - at < bytes.size()) {
        ++refused_;
        return false;
    }
    std::memcpy(storage_.data() + at, bytes.data(), bytes.size());
    offsets_.push_back(at);
    used_ = at + bytes.size();
    return true;
}

void EventList::clear() {
    offsets_.clear();
    used_ = 0;
    refused_ = 0;
}

const EventHeader* EventList::at(std::size_t index) const {
    if (index >= offsets_.size()) return nullptr;
    return reinterpret_cast<const EventHeader*>(storage_.data() + offsets_[index]);
}

ParamValueEvent paramValueEvent(uint32 time, Id id, double value, void* cookie) {
    ParamValueEvent e{};
    e.header = {sizeof e, time, kCoreEventSpace, kEventParamValue, 0};
    e.param_id = id;
    e.cookie = cookie;
    e.note_id = -1;
    e.port_index = -1;
    e.channel = -1;
    e.key = -1;
    e.value = value;
    return e;
}

ParamGestureEvent gestureEvent(uint16 type, uint32 time, Id id) {
    ParamGestureEvent e{};
    e.header = {sizeof e, time, kCoreEventSpace, type, 0};
    e.param_id = id;
    return e;
}

// The list is only read through the view: the context's const is the interface's to drop.
InputEventsView::InputEventsView(const EventList& list)
    : events_{const_cast<EventList*>(&list), inputSize, inputGet} {}

OutputEventsView::OutputEventsView(EventList& list) : events_{&list, outputPush} {}

std::vector<ParamEvent> paramEvents(const EventList& list) {
    std::vector<ParamEvent> events;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const EventHeader* h = list.at(i);
        if (h->space_id != kCoreEventSpace) continue;
        if (h->type == kEventParamValue && h->size >= sizeof(ParamValueEvent)) {
            const auto* e = reinterpret_cast<const ParamValueEvent*>(h);
            events.push_back({h->type, e->param_id, e->value});
        } else if ((h->type == kEventParamGestureBegin || h->type == kEventParamGestureEnd) &&
                   h->size >= sizeof(ParamGestureEvent)) {
            const auto* e = reinterpret_cast<const ParamGestureEvent*>(h);
            events.push_back({h->type, e->param_id});
        }
    }
    return events;
}

} // namespace kavet::host
