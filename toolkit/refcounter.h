// The base of every view, bitmap and drawing context: an intrusive reference count.
#pragma once

#include <cstdint>

namespace toolkit {

class CReferenceCounter {
public:
    CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;
    virtual ~CReferenceCounter() = default;

    void remember() { ++nbReference; }
    // Deletes the object through its virtual destructor when the count was 1.
    void forget() {
        if (nbReference-- == 1) {
            delete this;
        }
    }
    std::int32_t getNbReference() const { return nbReference; }

private:
    std::int32_t nbReference = 1; // a new object belongs to its creator
};

} // namespace toolkit
