// The framework's global lock: one recursive lock per loaded module, held while the plug-in
// group is destroyed and while an editor opens (loading and UI threads; never taken on the
// audio thread). Built on an atomic owner word so that it needs no thread library.
#pragma once

#include <atomic>

namespace ptfw {

// Recursive: the owning thread may take it again. Waiters spin; holders keep it briefly.
class RecursiveSpinLock {
public:
    void lock();
    void unlock();
    bool HeldByThisThread() const;

private:
    std::atomic<const void*> owner_{nullptr};
    int depth_ = 0; // written by the owner only
};

RecursiveSpinLock& GlobalLockMutex();

class CGlobalLock {
public:
    CGlobalLock() { GlobalLockMutex().lock(); }
    ~CGlobalLock() { GlobalLockMutex().unlock(); }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;
};

} // namespace ptfw
