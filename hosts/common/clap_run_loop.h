// The host's main-thread loop for one CLAP plug-in: the timers it registers (timer-support),
// on Linux the file descriptors it watches (posix-fd-support, its editor's X connection), and
// its requests for a call on the main thread. The loop turns when the host runs it. [main
// thread], except requestCallback.
#pragma once

#include "clap/base.h"

#include <atomic>
#include <chrono>
#include <vector>

namespace kavet::host {

// What the loop calls: the plug-in's on_timer, on_fd and on_main_thread.
class RunLoopClient {
public:
    virtual ~RunLoopClient() = default;
    virtual void onTimer(clap::Id id) = 0;
    virtual void onFd(int fd, clap::uint32 flags) = 0;
    virtual void onMainThread() = 0;
};

class RunLoop {
public:
    explicit RunLoop(RunLoopClient& client) : client_(client) {}

    // A period of 0 is refused; the ids count from 1 and are never given twice.
    bool registerTimer(clap::uint32 periodMs, clap::Id& id);
    bool unregisterTimer(clap::Id id); // false for an id that is not registered
    // A negative descriptor, one already registered, and flags of none or unknown conditions
    // are refused; modify and unregister refuse a descriptor that is not registered.
    bool registerFd(int fd, clap::uint32 flags);
    bool modifyFd(int fd, clap::uint32 flags);
    bool unregisterFd(int fd);
    // The plug-in's request_callback. [any thread]
    void requestCallback() { callbackDue_.store(true); }

    // One turn: the descriptors ready now, every timer once whatever its period, a callback
    // if one was asked for.
    void tick();
    // Serves the descriptors as they become ready, the timers at their periods and the
    // callbacks, for `ms`.
    void run(int ms);
    // Serves the descriptors only, until none has been ready for `quietMs` (a second at most).
    void drain(int quietMs = 30);

    std::size_t timerCount() const { return timers_.size(); }
    std::size_t fdCount() const { return fds_.size(); }
    int timerCalls() const { return timerCalls_; }

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        clap::Id id;
        std::chrono::milliseconds period;
        Clock::time_point due;
    };
    struct Fd {
        int fd;
        clap::uint32 flags;
    };
    // Waits up to `timeoutMs` for a descriptor; calls on_fd for each ready one (while it is
    // still registered). Whether any was ready.
    bool serveFds(int timeoutMs);
    void fire(clap::Id id);
    void callBackIfDue();
    bool hasTimer(clap::Id id) const;
    Fd* findFd(int fd);

    RunLoopClient& client_;
    std::vector<Timer> timers_;
    std::vector<Fd> fds_;
    clap::Id nextTimer_ = 1;
    int timerCalls_ = 0;
    std::atomic<bool> callbackDue_{false};
};

} // namespace kavet::host
