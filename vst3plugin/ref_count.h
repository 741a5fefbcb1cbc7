// The reference count of the module's objects: created with one reference, deleted by the
// release that drops the last. Hosts may add and release references on any thread.
#pragma once

#include "vst3/base.h"

#include <atomic>
#include <tuple>
#include <type_traits>

namespace kavet::vst3plugin {

class RefCount {
public:
    vst3::uint32 add() { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
    // The count left; 0 means the caller deletes the object.
    vst3::uint32 drop() { return count_.fetch_sub(1, std::memory_order_acq_rel) - 1; }

private:
    std::atomic<vst3::uint32> count_{1};
};

// Hands out `self` as the interface `iid` asks for, when it is one of `I...` or FUnknown;
// with one more reference.
template <class Self, class... I>
vst3::tresult answerQuery(Self* self, const char* iid, void** obj) {
    if (obj == nullptr) return vst3::kInvalidArgument;
    *obj = nullptr;
    auto match = [&](auto* as) {
        using Interface = std::remove_pointer_t<decltype(as)>;
        if (*obj == nullptr && Interface::iid.is(iid)) *obj = as;
    };
    (match(static_cast<I*>(self)), ...);
    if (*obj == nullptr && vst3::FUnknown::iid.is(iid))
        *obj = static_cast<vst3::FUnknown*>(
            static_cast<std::tuple_element_t<0, std::tuple<I...>>*>(self));
    if (*obj == nullptr) return vst3::kNoInterface;
    self->addRef();
    return vst3::kResultOk;
}

} // namespace kavet::vst3plugin
