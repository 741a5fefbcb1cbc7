// One counted reference to a VST 3 interface: released when the holder goes, so that every
// reference a host takes (from a factory, queryInterface or createView) is given back once.
#pragma once

#include "vst3/base.h"

#include <utility>

namespace kavet::host {

template <class I> class Ref {
public:
    Ref() = default;
    // Takes over a reference the caller already holds (a factory's or queryInterface's).
    static Ref adopt(I* object) {
        Ref ref;
        ref.object_ = object;
        return ref;
    }
    // Adds a reference of its own to `object`.
    static Ref share(I* object) {
        if (object != nullptr) object->addRef();
        return adopt(object);
    }

    Ref(const Ref& other) : object_(other.object_) {
        if (object_ != nullptr) object_->addRef();
    }
    Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    Ref& operator=(Ref other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~Ref() { reset(); }

    void reset() {
        if (I* object = std::exchange(object_, nullptr)) object->release();
    }

    I* get() const { return object_; }
    I* operator->() const { return object_; }
    I& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // The same object's interface `J`, or an empty reference when it has none.
    template <class J> Ref<J> as() const { return Ref<J>::adopt(vst3::queryAs<J>(object_)); }

private:
    I* object_ = nullptr;
};

} // namespace kavet::host
