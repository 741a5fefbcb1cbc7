#include "user/clock.h"

#include "user/state.h"

#include <chrono>
#include <map>
#include <mutex>
#include <thread>

namespace kavet::user::clock {
namespace {

struct Clock {
    std::mutex lock;
    bool isVirtual = false;
    std::uint64_t virtualNow = 0;
    std::uint32_t step = 1;
    std::multimap<std::uint64_t, std::function<void()>> events;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

Clock& clk() {
    static Clock c;
    return c;
}

std::uint64_t realNow(Clock& c) {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - c.start)
                                          .count());
}

std::uint64_t nowLocked(Clock& c) {
    return c.isVirtual ? c.virtualNow : realNow(c);
}

} // namespace

void useVirtual(std::uint64_t startMs, std::uint32_t msPerTickRead) {
    Clock& c = clk();
    std::lock_guard g(c.lock);
    c.isVirtual = true;
    c.virtualNow = startMs;
    c.step = msPerTickRead;
}

void useReal() {
    Clock& c = clk();
    std::lock_guard g(c.lock);
    c.isVirtual = false;
}

bool isVirtual() {
    Clock& c = clk();
    std::lock_guard g(c.lock);
    return c.isVirtual;
}

std::uint32_t msPerTickRead() {
    Clock& c = clk();
    std::lock_guard g(c.lock);
    return c.step;
}

std::uint64_t now() {
    Clock& c = clk();
    std::lock_guard g(c.lock);
    return nowLocked(c);
}

void schedule(std::uint64_t atMs, std::function<void()> action) {
    Clock& c = clk();
    std::lock_guard g(c.lock);
    c.events.emplace(atMs, std::move(action));
}

void clearSchedule() {
    Clock& c = clk();
    std::lock_guard g(c.lock);
    c.events.clear();
}

bool nextEvent(std::uint64_t& atMs) {
    Clock& c = clk();
    std::lock_guard g(c.lock);
    if (c.events.empty()) return false;
    atMs = c.events.begin()->first;
    return true;
}

std::size_t pendingEvents() {
    Clock& c = clk();
    std::lock_guard g(c.lock);
    return c.events.size();
}

bool runNextDue(std::uint64_t upToMs) {
    Clock& c = clk();
    std::function<void()> action;
    {
        std::lock_guard g(c.lock);
        if (c.events.empty()) return false;
        auto first = c.events.begin();
        std::uint64_t limit = c.isVirtual ? upToMs : realNow(c);
        if (first->first > limit) return false;
        if (c.isVirtual && first->first > c.virtualNow) c.virtualNow = first->first;
        action = std::move(first->second);
        c.events.erase(first);
    }
    action();
    return true;
}

void advanceTo(std::uint64_t targetMs) {
    while (runNextDue(targetMs)) {
    }
    Clock& c = clk();
    std::lock_guard g(c.lock);
    if (c.isVirtual && targetMs > c.virtualNow) c.virtualNow = targetMs;
}

} // namespace kavet::user::clock

namespace kavet::user {
std::uint64_t nowMs() {
    return clock::now();
}
void processDueEvents() {
    clock::advanceTo(clock::now());
}
} // namespace kavet::user

DWORD WINAPI GetTickCount() {
    using namespace kavet::user;
    if (clock::isVirtual()) {
        // Each reading moves virtual time on, so polling loops that wait for a time come to
        // their end.
        std::uint64_t t = clock::now() + clock::msPerTickRead();
        clock::advanceTo(t);
        return static_cast<DWORD>(clock::now());
    }
    processDueEvents();
    return static_cast<DWORD>(clock::now());
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    using namespace kavet::user;
    if (clock::isVirtual()) {
        clock::advanceTo(clock::now() + dwMilliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
    processDueEvents();
}
