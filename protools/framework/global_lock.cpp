#include "global_lock.h"

#include "fic_types.h"

#include <cstring>

namespace ptfw {

namespace {

// The address of a thread-local object names the calling thread.
const void* ThisThread() {
    thread_local char token;
    return &token;
}

} // namespace

void RecursiveSpinLock::lock() {
    const void* self = ThisThread();
    if (owner_.load(std::memory_order_acquire) == self) {
        ++depth_;
        return;
    }
    const void* expected = nullptr;
    while (!owner_.compare_exchange_weak(expected, self, std::memory_order_acquire,
                                         std::memory_order_relaxed))
        expected = nullptr;
    depth_ = 1;
}

void RecursiveSpinLock::unlock() {
    if (owner_.load(std::memory_order_relaxed) != ThisThread()) return;
    if (--depth_ == 0) owner_.store(nullptr, std::memory_order_release);
}

bool RecursiveSpinLock::HeldByThisThread() const {
    return owner_.load(std::memory_order_acquire) == ThisThread();
}

RecursiveSpinLock& GlobalLockMutex() {
    static RecursiveSpinLock lock;
    return lock;
}

void CopyField(char* field, std::size_t size, const char* text) {
    if (field == nullptr || size == 0) return;
    std::size_t n = text ? std::strlen(text) : 0;
    if (n >= size) n = size - 1;
    if (n) std::memcpy(field, text, n);
    std::memset(field + n, 0, size - n);
}

} // namespace ptfw
