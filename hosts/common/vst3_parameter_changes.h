// The parameter changes of one process call, with their points in order of sample offset,
// in storage of fixed size made once: filling them for a block allocates nothing.
#pragma once

#include "vst3_host_object.h"

#include "vst3/processor.h"

#include <array>
#include <span>

namespace kavet::host {

// One change: parameter `id` takes `value` (normalised) from sample `offset` of the block.
struct ParamChange {
    vst3::ParamID id;
    vst3::int32 offset;
    vst3::ParamValue value;
};

class ParameterChanges;

// One parameter's points. Its references are its owner's. [audio thread]
class ParamValueQueue final : public vst3::IParamValueQueue {
public:
    static constexpr int kMaxPoints = 64;

    vst3::tresult KAVET_VST3_CALL queryInterface(const char* iid, void** obj) override;
    vst3::uint32 KAVET_VST3_CALL addRef() override;
    vst3::uint32 KAVET_VST3_CALL release() override;

    vst3::ParamID KAVET_VST3_CALL getParameterId() override { return id_; }
    vst3::int32 KAVET_VST3_CALL getPointCount() override { return count_; }
    vst3::tresult KAVET_VST3_CALL getPoint(vst3::int32 index, vst3::int32& sampleOffset,
                                           vst3::ParamValue& value) override;
    // Keeps the points in order of offset; a point at an offset that has one replaces it.
    // kResultFalse when the queue is full or the offset negative.
    vst3::tresult KAVET_VST3_CALL addPoint(vst3::int32 sampleOffset, vst3::ParamValue value,
                                           vst3::int32& index) override;

private:
    friend class ParameterChanges;
    struct Point {
        vst3::int32 offset;
        vst3::ParamValue value;
    };
    void reset(ParameterChanges* owner, vst3::ParamID id);

    ParameterChanges* owner_ = nullptr;
    vst3::ParamID id_ = 0;
    vst3::int32 count_ = 0;
    std::array<Point, kMaxPoints> points_{};
};

class ParameterChanges final : public HostObject<ParameterChanges, vst3::IParameterChanges> {
public:
    static constexpr int kMaxQueues = 32;

    ParameterChanges() {
        for (ParamValueQueue& queue : queues_)
            queue.owner_ = this;
    }

    vst3::int32 KAVET_VST3_CALL getParameterCount() override { return count_; }
    // The queue, with no reference of the caller's (as the interface has it). Null out of range.
    vst3::IParamValueQueue* KAVET_VST3_CALL getParameterData(vst3::int32 index) override;
    // The parameter's queue, made when it has none; null when every queue is taken.
    vst3::IParamValueQueue* KAVET_VST3_CALL addParameterData(const vst3::ParamID& id,
                                                             vst3::int32& index) override;

    void clear() { count_ = 0; }
    // Clears, then adds every change in order; false (and cleared) when they do not fit.
    [[nodiscard]] bool assign(std::span<const ParamChange> changes);

private:
    vst3::int32 count_ = 0;
    std::array<ParamValueQueue, kMaxQueues> queues_;
};

} // namespace kavet::host
