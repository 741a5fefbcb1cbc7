// The host object a CLAP plug-in is created with (clap::Host) and the host's extensions it
// offers: thread-check (by the threads the host names as main and audio), log, params,
// timer-support and posix-fd-support (served by the host's RunLoop; descriptors on Linux
// only), gui, audio-ports, state and latency. Every call the plug-in makes is recorded for
// the tests; a call the interface does not allow (a main-thread function called from another
// thread, an extension asked for before init) is recorded in the log as the plug-in
// misbehaving, as a host that checks would report it.
#pragma once

#include "clap_audio_thread.h"
#include "clap_run_loop.h"

#include "clap/all.h"

#include <atomic>
#include <set>
#include <string>
#include <vector>

namespace kavet::host {

// A lock for the host's records, which the plug-in may add to from any thread: held only
// while one entry is copied in or the list is copied out. (MinGW's thread model here has no
// std::mutex.)
class RecordLock {
public:
    void lock() {
        while (flag_.test_and_set(std::memory_order_acquire)) {
        }
    }
    void unlock() { flag_.clear(std::memory_order_release); }

private:
    std::atomic_flag flag_ = ATOMIC_FLAG_INIT;
};

struct LogEntry {
    clap::LogSeverity severity;
    std::string message;
    bool operator==(const LogEntry&) const = default;
};

class ClapHost {
public:
    // The calling thread is the main thread; the audio thread is named later.
    explicit ClapHost(RunLoop& loop);
    ClapHost(const ClapHost&) = delete;
    ClapHost& operator=(const ClapHost&) = delete;

    const clap::Host* get() const { return &host_; }

    ThreadId mainThread() const { return mainThread_; }
    void setAudioThread(ThreadId id) { audioThread_.store(id); }
    // Set by the plug-in's holder around its life cycle: extensions may be asked for from
    // init on; a full rescan is allowed only while inactive.
    void setInitialised(bool on) { initialised_.store(on); }
    void setActive(bool on) { active_.store(on); }
    // Leaves the extension `id` out of what get_extension offers (a host without it).
    void withhold(const std::string& id) { withheld_.insert(id); }

    // The log, the plug-in's messages and the host's own reports of its misuse. [any thread]
    std::vector<LogEntry> log() const;
    // The messages of the two misbehaving severities.
    std::vector<LogEntry> misbehaviour() const;
    void clearLog();
    // Adds the host's own report to the log. [any thread]
    void report(clap::LogSeverity severity, std::string message);

    // What the plug-in asked for, [main thread] unless said otherwise.
    std::atomic<int> restartRequests{0}, processRequests{0}, callbackRequests{0}; // any thread
    std::atomic<int> flushRequests{0};                                            // any thread
    std::vector<clap::uint32> paramRescans;
    std::vector<std::pair<clap::Id, clap::uint32>> paramClears;
    std::atomic<int> showRequests{0}, hideRequests{0}, closedCalls{0}, hintChanges{0}; // any
    // The editor's requests for a size (width, height). [any thread]
    std::vector<std::pair<clap::uint32, clap::uint32>> resizeRequests() const;
    std::vector<clap::uint32> audioPortRescans;
    int latencyChanges = 0, dirtyMarks = 0;

private:
    // Records the plug-in's call of `what` from a thread other than the main thread.
    bool onMainThread(const char* what);
    const void* extension(const char* id);
    static ClapHost& of(const clap::Host* host);

    // The host's side of each extension, as the interface calls it.
    static const void* KAVET_CLAP_CALL getExtension(const clap::Host* h, const char* id);
    static void KAVET_CLAP_CALL requestRestart(const clap::Host* h);
    static void KAVET_CLAP_CALL requestProcess(const clap::Host* h);
    static void KAVET_CLAP_CALL requestCallback(const clap::Host* h);
    static bool KAVET_CLAP_CALL isMainThread(const clap::Host* h);
    static bool KAVET_CLAP_CALL isAudioThread(const clap::Host* h);
    static void KAVET_CLAP_CALL logMessage(const clap::Host* h, clap::LogSeverity severity,
                                           const char* message);
    static void KAVET_CLAP_CALL paramsRescan(const clap::Host* h, clap::uint32 flags);
    static void KAVET_CLAP_CALL paramsClear(const clap::Host* h, clap::Id id, clap::uint32 flags);
    static void KAVET_CLAP_CALL paramsRequestFlush(const clap::Host* h);
    static bool KAVET_CLAP_CALL registerTimer(const clap::Host* h, clap::uint32 periodMs,
                                              clap::Id* id);
    static bool KAVET_CLAP_CALL unregisterTimer(const clap::Host* h, clap::Id id);
    static bool KAVET_CLAP_CALL registerFd(const clap::Host* h, int fd, clap::uint32 flags);
    static bool KAVET_CLAP_CALL modifyFd(const clap::Host* h, int fd, clap::uint32 flags);
    static bool KAVET_CLAP_CALL unregisterFd(const clap::Host* h, int fd);
    static void KAVET_CLAP_CALL guiResizeHintsChanged(const clap::Host* h);
    static bool KAVET_CLAP_CALL guiRequestResize(const clap::Host* h, clap::uint32 width,
                                                 clap::uint32 height);
    static bool KAVET_CLAP_CALL guiRequestShow(const clap::Host* h);
    static bool KAVET_CLAP_CALL guiRequestHide(const clap::Host* h);
    static void KAVET_CLAP_CALL guiClosed(const clap::Host* h, bool wasDestroyed);
    static bool KAVET_CLAP_CALL audioPortsRescanSupported(const clap::Host* h, clap::uint32 flag);
    static void KAVET_CLAP_CALL audioPortsRescan(const clap::Host* h, clap::uint32 flags);
    static void KAVET_CLAP_CALL latencyChanged(const clap::Host* h);
    static void KAVET_CLAP_CALL stateMarkDirty(const clap::Host* h);

    clap::Host host_;
    RunLoop& loop_;
    const ThreadId mainThread_;
    std::atomic<ThreadId> audioThread_{0};
    std::atomic<bool> initialised_{false}, active_{false};
    std::set<std::string> withheld_;
    mutable RecordLock recordLock_;
    std::vector<LogEntry> log_;
    std::vector<std::pair<clap::uint32, clap::uint32>> resizeRequests_; // under recordLock_
};

} // namespace kavet::host
