#include "clap_host.h"

#include <cstring>
#include <mutex>

namespace kavet::host {

using namespace clap;

ClapHost::ClapHost(RunLoop& loop)
    : host_{kVersion, this,         "Kavet test host", "Velmorant Ltd", "",
            "1.0",    getExtension, requestRestart,    requestProcess,  requestCallback},
      loop_(loop), mainThread_(currentThreadId()) {}

ClapHost& ClapHost::of(const Host* host) {
    return *static_cast<ClapHost*>(host->host_data);
}

std::vector<LogEntry> ClapHost::log() const {
    std::lock_guard<RecordLock> lock(recordLock_);
    return log_;
}

std::vector<LogEntry> ClapHost::misbehaviour() const {
    std::vector<LogEntry> found;
    for (const LogEntry& e : log())
        if (e.severity == kLogHostMisbehaving || e.severity == kLogPluginMisbehaving)
            found.push_back(e);
    return found;
}

std::vector<std::pair<uint32, uint32>> ClapHost::resizeRequests() const {
    std::lock_guard<RecordLock> lock(recordLock_);
    return resizeRequests_;
}

void ClapHost::clearLog() {
    std::lock_guard<RecordLock> lock(recordLock_);
    log_.clear();
}

void ClapHost::report(LogSeverity severity, std::string message) {
    std::lock_guard<RecordLock> lock(recordLock_);
    log_.push_back({severity, std::move(message)});
}

bool ClapHost::onMainThread(const char* what) {
    if (currentThreadId() == mainThread_) return true;
    report(kLogPluginMisbehaving, std::string("the host's ") + what +
                                      " was called from a thread other than the main thread");
    return false;
}

const void* ClapHost::extension(const char* id) {
    static constexpr HostThreadCheck kThreadCheck = {isMainThread, isAudioThread};
    static constexpr HostLog kLog = {logMessage};
    static constexpr HostParams kParams = {paramsRescan, paramsClear, paramsRequestFlush};
    static constexpr HostTimerSupport kTimers = {registerTimer, unregisterTimer};
    static constexpr HostPosixFdSupport kFds = {registerFd, modifyFd, unregisterFd};
    static constexpr HostGui kGui = {guiResizeHintsChanged, guiRequestResize, guiRequestShow,
                                     guiRequestHide, guiClosed};
    static constexpr HostAudioPorts kAudioPorts = {audioPortsRescanSupported, audioPortsRescan};
    static constexpr HostLatency kLatency = {latencyChanged};
    static constexpr HostState kState = {stateMarkDirty};
    struct Offer {
        const char* id;
        const void* table;
    };
    static constexpr Offer kOffers[] = {
        {kExtThreadCheck, &kThreadCheck},
        {kExtLog, &kLog},
        {kExtParams, &kParams},
        {kExtTimerSupport, &kTimers},
#if !defined(_WIN32)
        {kExtPosixFdSupport, &kFds},
#endif
        {kExtGui, &kGui},
        {kExtAudioPorts, &kAudioPorts},
        {kExtLatency, &kLatency},
        {kExtState, &kState},
    };
    (void)kFds;
    if (id == nullptr) {
        report(kLogPluginMisbehaving, "get_extension was asked for a null id");
        return nullptr;
    }
    if (!initialised_.load())
        report(kLogPluginMisbehaving,
               std::string("get_extension(\"") + id + "\") was called before init");
    for (const Offer& offer : kOffers)
        if (std::strcmp(offer.id, id) == 0) return withheld_.count(id) ? nullptr : offer.table;
    return nullptr;
}

const void* ClapHost::getExtension(const Host* h, const char* id) {
    return of(h).extension(id);
}

void ClapHost::requestRestart(const Host* h) {
    ++of(h).restartRequests;
}

void ClapHost::requestProcess(const Host* h) {
    ++of(h).processRequests;
}

void ClapHost::requestCallback(const Host* h) {
    ++of(h).callbackRequests;
    of(h).loop_.requestCallback();
}

bool ClapHost::isMainThread(const Host* h) {
    return currentThreadId() == of(h).mainThread_;
}

bool ClapHost::isAudioThread(const Host* h) {
    return currentThreadId() == of(h).audioThread_.load();
}

void ClapHost::logMessage(const Host* h, LogSeverity severity, const char* message) {
    of(h).report(severity, message != nullptr ? message : "(null)");
}

void ClapHost::paramsRescan(const Host* h, uint32 flags) {
    ClapHost& self = of(h);
    if (!self.onMainThread("params.rescan")) return;
    if ((flags & kParamRescanAll) && self.active_.load())
        self.report(kLogPluginMisbehaving, "params.rescan(CLAP_PARAM_RESCAN_ALL) while active");
    self.paramRescans.push_back(flags);
}

void ClapHost::paramsClear(const Host* h, Id id, uint32 flags) {
    ClapHost& self = of(h);
    if (self.onMainThread("params.clear")) self.paramClears.emplace_back(id, flags);
}

void ClapHost::paramsRequestFlush(const Host* h) {
    ClapHost& self = of(h);
    if (currentThreadId() == self.audioThread_.load())
        self.report(kLogPluginMisbehaving, "params.request_flush was called on the audio thread");
    ++self.flushRequests;
}

bool ClapHost::registerTimer(const Host* h, uint32 periodMs, Id* id) {
    ClapHost& self = of(h);
    if (!self.onMainThread("timer-support.register_timer") || id == nullptr) return false;
    return self.loop_.registerTimer(periodMs, *id);
}

bool ClapHost::unregisterTimer(const Host* h, Id id) {
    ClapHost& self = of(h);
    return self.onMainThread("timer-support.unregister_timer") && self.loop_.unregisterTimer(id);
}

bool ClapHost::registerFd(const Host* h, int fd, uint32 flags) {
    ClapHost& self = of(h);
    return self.onMainThread("posix-fd-support.register_fd") && self.loop_.registerFd(fd, flags);
}

bool ClapHost::modifyFd(const Host* h, int fd, uint32 flags) {
    ClapHost& self = of(h);
    return self.onMainThread("posix-fd-support.modify_fd") && self.loop_.modifyFd(fd, flags);
}

bool ClapHost::unregisterFd(const Host* h, int fd) {
    ClapHost& self = of(h);
    return self.onMainThread("posix-fd-support.unregister_fd") && self.loop_.unregisterFd(fd);
}

void ClapHost::guiResizeHintsChanged(const Host* h) {
    ++of(h).hintChanges;
}

bool ClapHost::guiRequestResize(const Host* h, uint32 width, uint32 height) {
    ClapHost& self = of(h);
    std::lock_guard<RecordLock> lock(self.recordLock_);
    self.resizeRequests_.emplace_back(width, height);
    return false; // the host's window keeps its size
}

bool ClapHost::guiRequestShow(const Host* h) {
    ++of(h).showRequests;
    return false;
}

bool ClapHost::guiRequestHide(const Host* h) {
    ++of(h).hideRequests;
    return false;
}

void ClapHost::guiClosed(const Host* h, bool) {
    ++of(h).closedCalls;
}

bool ClapHost::audioPortsRescanSupported(const Host* h, uint32) {
    of(h).onMainThread("audio-ports.is_rescan_flag_supported");
    return false; // this host takes no change of ports
}

void ClapHost::audioPortsRescan(const Host* h, uint32 flags) {
    ClapHost& self = of(h);
    if (self.onMainThread("audio-ports.rescan")) self.audioPortRescans.push_back(flags);
}

void ClapHost::latencyChanged(const Host* h) {
    ClapHost& self = of(h);
    if (self.onMainThread("latency.changed")) ++self.latencyChanges;
}

void ClapHost::stateMarkDirty(const Host* h) {
    ClapHost& self = of(h);
    if (self.onMainThread("state.mark_dirty")) ++self.dirtyMarks;
}

} // namespace kavet::host
