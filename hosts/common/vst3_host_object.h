// The reference count and queryInterface of the host's own VST 3 objects (messages, streams,
// parameter changes, handlers, the view's frame). Each is made with new and goes when its
// last reference is released; a count of the live ones lets tests see that every reference
// the plug-in took was given back.
#pragma once

#include "vst3/base.h"

#include <atomic>

namespace kavet::host {

// The host objects alive in this process. [any thread]
int liveHostObjects();

namespace detail {
void countHostObject(int change);
}

// `Self` derives from this with the interfaces it implements; the first one stands for
// FUnknown. The count starts at one: the creator's reference.
template <class Self, class First, class... More> class HostObject : public First, public More... {
public:
    vst3::tresult KAVET_VST3_CALL queryInterface(const char* iid, void** obj) override {
        if (obj == nullptr) return vst3::kInvalidArgument;
        *obj = nullptr;
        if (vst3::FUnknown::iid.is(iid)) {
            *obj = static_cast<vst3::FUnknown*>(static_cast<First*>(this));
        } else if (!offer<First>(iid, obj) && !(offer<More>(iid, obj) || ...)) {
            return vst3::kNoInterface;
        }
        addRef();
        return vst3::kResultOk;
    }
    vst3::uint32 KAVET_VST3_CALL addRef() override { return ++count_; }
    vst3::uint32 KAVET_VST3_CALL release() override {
        const vst3::uint32 left = --count_;
        if (left == 0) delete static_cast<Self*>(this);
        return left;
    }

    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

protected:
    HostObject() { detail::countHostObject(1); }
    ~HostObject() { detail::countHostObject(-1); }

private:
    template <class I> bool offer(const char* iid, void** obj) {
        if (!I::iid.is(iid)) return false;
        *obj = static_cast<I*>(static_cast<Self*>(this));
        return true;
    }

    std::atomic<vst3::uint32> count_{1};
};

} // namespace kavet::host
