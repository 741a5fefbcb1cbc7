#include "clap_run_loop.h"

#include "clap/posix_fd_support.h"

#include <algorithm>

#if defined(_WIN32)
#include <windows.h>
#else
#include <poll.h>
#endif

namespace kavet::host {

using namespace clap;

namespace {

constexpr uint32 kAllFdFlags = kPosixFdRead | kPosixFdWrite | kPosixFdError;

void sleepFor(long long ms) {
#if defined(_WIN32)
    Sleep(static_cast<DWORD>(ms));
#else
    poll(nullptr, 0, static_cast<int>(ms));
#endif
}

} // namespace

bool RunLoop::registerTimer(uint32 periodMs, Id& id) {
    if (periodMs == 0) return false;
    id = nextTimer_++;
    const std::chrono::milliseconds period(periodMs);
    timers_.push_back({id, period, Clock::now() + period});
    return true;
}

bool RunLoop::unregisterTimer(Id id) {
    const auto it =
        std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
    if (it == timers_.end()) return false;
    timers_.erase(it);
    return true;
}

bool RunLoop::hasTimer(Id id) const {
    return std::any_of(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
}

RunLoop::Fd* RunLoop::findFd(int fd) {
    const auto it =
        std::find_if(fds_.begin(), fds_.end(), [fd](const Fd& f) { return f.fd == fd; });
    return it == fds_.end() ? nullptr : &*it;
}

bool RunLoop::registerFd(int fd, uint32 flags) {
    if (fd < 0 || findFd(fd) != nullptr || flags == 0 || (flags & ~kAllFdFlags) != 0) return false;
    fds_.push_back({fd, flags});
    return true;
}

bool RunLoop::modifyFd(int fd, uint32 flags) {
    Fd* f = findFd(fd);
    if (f == nullptr || flags == 0 || (flags & ~kAllFdFlags) != 0) return false;
    f->flags = flags;
    return true;
}

bool RunLoop::unregisterFd(int fd) {
    const auto it =
        std::find_if(fds_.begin(), fds_.end(), [fd](const Fd& f) { return f.fd == fd; });
    if (it == fds_.end()) return false;
    fds_.erase(it);
    return true;
}

// The plug-in may register or unregister descriptors (or timers) in its on_fd: each call is
// made from a copy of the list, and only for a descriptor that is still registered.
bool RunLoop::serveFds(int timeoutMs) {
#if defined(_WIN32)
    (void)timeoutMs;
    return false;
#else
    if (fds_.empty()) return false;
    std::vector<pollfd> polled;
    for (const Fd& f : fds_) {
        short events = 0;
        if (f.flags & kPosixFdRead) events |= POLLIN;
        if (f.flags & kPosixFdWrite) events |= POLLOUT;
        polled.push_back({f.fd, events, 0});
    }
    if (poll(polled.data(), polled.size(), timeoutMs) <= 0) return false;
    bool any = false;
    for (const pollfd& p : polled) {
        uint32 flags = 0;
        if (p.revents & (POLLIN | POLLHUP)) flags |= kPosixFdRead;
        if (p.revents & POLLOUT) flags |= kPosixFdWrite;
        if (p.revents & (POLLERR | POLLNVAL)) flags |= kPosixFdError;
        const Fd* still = findFd(p.fd);
        if (flags == 0 || still == nullptr) continue;
        any = true;
        client_.onFd(p.fd, flags);
    }
    return any;
#endif
}

void RunLoop::fire(Id id) {
    if (!hasTimer(id)) return; // unregistered by an earlier call of this turn
    ++timerCalls_;
    client_.onTimer(id);
}

void RunLoop::callBackIfDue() {
    if (callbackDue_.exchange(false)) client_.onMainThread();
}

void RunLoop::tick() {
    serveFds(0);
    std::vector<Id> due;
    for (const Timer& t : timers_)
        due.push_back(t.id);
    for (Id id : due)
        fire(id);
    callBackIfDue();
}

void RunLoop::run(int ms) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
        Clock::time_point wake = std::min(end, now + std::chrono::milliseconds(10));
        for (const Timer& t : timers_)
            wake = std::min(wake, t.due);
        const long long wait = std::max<long long>(
            std::chrono::ceil<std::chrono::milliseconds>(wake - now).count(), 0);
        if (fds_.empty())
            sleepFor(wait);
        else
            serveFds(static_cast<int>(wait));
        now = Clock::now();
        std::vector<Id> due;
        for (Timer& t : timers_) {
            if (t.due > now) continue;
            due.push_back(t.id);
            t.due = std::max(t.due + t.period, now);
        }
        for (Id id : due)
            fire(id);
        callBackIfDue();
    }
}

void RunLoop::drain(int quietMs) {
    const Clock::time_point end = Clock::now() + std::chrono::seconds(1);
    while (serveFds(quietMs) && Clock::now() < end) {
    }
}

} // namespace kavet::host
