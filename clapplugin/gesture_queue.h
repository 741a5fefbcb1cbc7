// The user's edits in the editor on their way to the host: a fixed ring of edits, written by
// the main thread (the editor's host link) and read by whichever call sends the host its
// events (process() on the audio thread, or params' flush), never both at once. Lock-free and
// without allocation: one producer, one consumer, each index written by one side only.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace kavet::clapplugin {

struct Edit {
    enum class Kind : std::uint8_t { begin, value, end };
    Kind kind;
    std::uint32_t param;
    double value; // normalised, as the effect stored it; for Kind::value
};

template <std::size_t Capacity> class EditQueue {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "a power of two");

public:
    // [producer] False when the ring is full: the edit is not taken.
    bool push(const Edit& edit) {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == Capacity) return false;
        slots_[tail & (Capacity - 1)] = edit;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // [consumer] The oldest edit, left in the ring, or null when it is empty.
    const Edit* front() const {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) return nullptr;
        return &slots_[head & (Capacity - 1)];
    }

    // [consumer] Drops the edit front() gave.
    void pop() {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head != tail_.load(std::memory_order_acquire))
            head_.store(head + 1, std::memory_order_release);
    }

    // Whether an edit waits. [any thread]: a snapshot.
    bool pending() const {
        return head_.load(std::memory_order_acquire) != tail_.load(std::memory_order_acquire);
    }

private:
    Edit slots_[Capacity] = {};
    alignas(64) std::atomic<std::size_t> head_{0}; // next to read, written by the consumer
    alignas(64) std::atomic<std::size_t> tail_{0}; // next to write, written by the producer
};

} // namespace kavet::clapplugin
