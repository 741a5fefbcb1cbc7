#include "vst3_parameter_changes.h"

namespace kavet::host {

using namespace vst3;

tresult ParamValueQueue::queryInterface(const char* iid, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    *obj = nullptr;
    if (!FUnknown::iid.is(iid) && !IParamValueQueue::iid.is(iid)) return kNoInterface;
    *obj = static_cast<IParamValueQueue*>(this);
    addRef();
    return kResultOk;
}

uint32 ParamValueQueue::addRef() {
    return owner_->addRef();
}

uint32 ParamValueQueue::release() {
    return owner_->release();
}

tresult ParamValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value) {
    if (index < 0 || index >= count_) return kInvalidArgument;
    sampleOffset = points_[static_cast<std::size_t>(index)].offset;
    value = points_[static_cast<std::size_t>(index)].value;
    return kResultOk;
}

tresult ParamValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index) {
    if (sampleOffset < 0) return kResultFalse;
    int32 at = 0;
    while (at < count_ && points_[static_cast<std::size_t>(at)].offset < sampleOffset)
        ++at;
    if (at < count_ && points_[static_cast<std::size_t>(at)].offset == sampleOffset) {
        points_[static_cast<std::size_t>(at)].value = value;
        index = at;
        return kResultOk;
    }
    if (count_ == kMaxPoints) return kResultFalse;
    for (int32 i = count_; i > at; --i)
        points_[static_cast<std::size_t>(i)] = points_[static_cast<std::size_t>(i - 1)];
    points_[static_cast<std::size_t>(at)] = {sampleOffset, value};
    ++count_;
    index = at;
    return kResultOk;
}

void ParamValueQueue::reset(ParameterChanges* owner, ParamID id) {
    owner_ = owner;
    id_ = id;
    count_ = 0;
}

IParamValueQueue* ParameterChanges::getParameterData(int32 index) {
    if (index < 0 || index >= count_) return nullptr;
    return &queues_[static_cast<std::size_t>(index)];
}

IParamValueQueue* ParameterChanges::addParameterData(const ParamID& id, int32& index) {
    for (int32 i = 0; i < count_; ++i) {
        if (queues_[static_cast<std::size_t>(i)].id_ == id) {
            index = i;
            return &queues_[static_cast<std::size_t>(i)];
        }
    }
    if (count_ == kMaxQueues) return nullptr;
    ParamValueQueue& queue = queues_[static_cast<std::size_t>(count_)];
    queue.reset(this, id);
    index = count_++;
    return &queue;
}

bool ParameterChanges::assign(std::span<const ParamChange> changes) {
    clear();
    for (const ParamChange& change : changes) {
        int32 index = 0;
        IParamValueQueue* queue = addParameterData(change.id, index);
        if (queue == nullptr || queue->addPoint(change.offset, change.value, index) != kResultOk) {
            clear();
            return false;
        }
    }
    return true;
}

} // namespace kavet::host
