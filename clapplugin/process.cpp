// Processing: the blocks with their parameter events at their sample times, the editor's edits
// out to the host, and params' flush, which does both without audio.
#include "instance.h"

#include "core/plug.h"
#include "core/silence.h"

#include <algorithm>
#include <climits>

namespace kavet::clapplugin {

using namespace clap;

namespace {

// The main port's buffers of 32-bit (data32) or 64-bit (data64) samples, every channel set.
template <class Sample> Sample** channelsOf(const AudioBuffer* buffers, uint32 count) {
    if (buffers == nullptr || count < 1 || buffers[0].channel_count != kNumChannels) return nullptr;
    Sample** channels;
    if constexpr (sizeof(Sample) == sizeof(double))
        channels = buffers[0].data64;
    else
        channels = buffers[0].data32;
    if (channels == nullptr) return nullptr;
    for (int c = 0; c < kNumChannels; ++c)
        if (channels[c] == nullptr) return nullptr;
    return channels;
}

} // namespace

ProcessStatus Instance::process(const Process* process) {
    expect(Thread::audio, "process");
    if (!active_.load(std::memory_order_acquire)) {
        misbehaving("process", "called while not active");
        return kProcessError;
    }
    if (process == nullptr || process->frames_count > static_cast<uint32>(INT_MAX))
        return kProcessError;
    if (!processing_.load(std::memory_order_relaxed))
        misbehaving("process", "called before start_processing");
    const Process& p = *process;
    sendEdits(p.out_events);
    if (p.frames_count == 0) {
        run<float>(p, nullptr, nullptr); // the events only
        return kProcessContinue;
    }
    // 64-bit samples when the host gives them on both sides, else 32-bit ones.
    if (double** out = channelsOf<double>(p.audio_outputs, p.audio_outputs_count)) {
        double** in = channelsOf<double>(p.audio_inputs, p.audio_inputs_count);
        if (in == nullptr) return kProcessError;
        run<double>(p, in, out);
        p.audio_outputs[0].constant_mask =
            silentChannels(out, kNumChannels, static_cast<int32>(p.frames_count));
        return kProcessContinue;
    }
    float** in = channelsOf<float>(p.audio_inputs, p.audio_inputs_count);
    float** out = channelsOf<float>(p.audio_outputs, p.audio_outputs_count);
    if (in == nullptr || out == nullptr) return kProcessError;
    run<float>(p, in, out);
    p.audio_outputs[0].constant_mask =
        silentChannels(out, kNumChannels, static_cast<int32>(p.frames_count));
    return kProcessContinue;
}

template <class Sample> void Instance::run(const Process& p, Sample** in, Sample** out) {
    const uint32 frames = p.frames_count;
    const InputEvents* events = p.in_events;
    const uint32 count = events != nullptr && events->size != nullptr && events->get != nullptr
                             ? events->size(events)
                             : 0;
    if (count == 0 && !resumeDue_ && frames > 0) {
        // No event in this block: the effect takes it whole.
        if constexpr (sizeof(Sample) == sizeof(double))
            plug_->processDoubleReplacing(in, out, static_cast<VstInt32>(frames));
        else
            plug_->processReplacing(in, out, static_cast<VstInt32>(frames));
        return;
    }
    uint32 next = 0;
    Sample* inAt[kNumChannels];
    Sample* outAt[kNumChannels];
    for (uint32 at = 0;;) {
        // Every event due by `at` goes to the effect, which takes it at the start of the span
        // that follows; the span ends at the next event's time. An event past the block takes
        // effect after it; one out of order, at once.
        uint32 end = frames;
        for (; next < count; ++next) {
            const EventHeader* event = events->get(events, next);
            if (event == nullptr) continue;
            const uint32 time = std::min(event->time, frames);
            if (time > at) {
                end = time;
                break;
            }
            applyEvent(event);
        }
        if (resumeDue_) {
            plug_->resume();
            resumeDue_ = false;
        }
        if (at >= frames) break;
        for (int c = 0; c < kNumChannels; ++c) {
            inAt[c] = in[c] + at;
            outAt[c] = out[c] + at;
        }
        const auto span = static_cast<VstInt32>(end - at);
        if constexpr (sizeof(Sample) == sizeof(double))
            plug_->processDoubleReplacing(inAt, outAt, span);
        else
            plug_->processReplacing(inAt, outAt, span);
        at = end;
    }
}

// A value for one of the effect's parameters; everything else (modulation, gestures, notes,
// other spaces) is not for this effect.
void Instance::applyEvent(const EventHeader* event) {
    if (event->space_id != kCoreEventSpace || event->type != kEventParamValue ||
        event->size < sizeof(ParamValueEvent))
        return;
    const auto* change = reinterpret_cast<const ParamValueEvent*>(event);
    if (change->param_id < static_cast<Id>(kNumParams))
        plug_->setParameter(static_cast<VstInt32>(change->param_id),
                            static_cast<float>(change->value));
}

void Instance::flush(const InputEvents* in, const OutputEvents* out) {
    expect(Thread::flush, "params.flush");
    if (in != nullptr && in->size != nullptr && in->get != nullptr) {
        const uint32 count = in->size(in);
        for (uint32 i = 0; i < count; ++i)
            if (const EventHeader* event = in->get(in, i)) applyEvent(event);
    }
    sendEdits(out);
}

// The queued edits as the host's events, at the block's start; an edit the list does not
// take waits for the next call.
void Instance::sendEdits(const OutputEvents* out) {
    if (out == nullptr || out->try_push == nullptr) return;
    while (const Edit* edit = edits_.front()) {
        bool taken;
        if (edit->kind == Edit::Kind::value) {
            ParamValueEvent event{};
            event.header = {sizeof event, 0, kCoreEventSpace, kEventParamValue, 0};
            event.param_id = edit->param;
            event.cookie = nullptr;
            event.note_id = -1;
            event.port_index = -1;
            event.channel = -1;
            event.key = -1;
            event.value = edit->value;
            taken = out->try_push(out, &event.header);
        } else {
            ParamGestureEvent event{};
            const uint16 type =
                edit->kind == Edit::Kind::begin ? kEventParamGestureBegin : kEventParamGestureEnd;
            event.header = {sizeof event, 0, kCoreEventSpace, type, 0};
            event.param_id = edit->param;
            taken = out->try_push(out, &event.header);
        }
        if (!taken) return;
        edits_.pop();
    }
}

} // namespace kavet::clapplugin
