#include "pending_file.h"

#include "hosts/common/host_error.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kavet::cli {

namespace {

// The temporary paths the signal handler removes. Plain arrays and lock-free atomics: a
// handler may only read memory and call async-signal-safe functions (unlink, write, raise).
// Batch workers claim and release slots at once, so a slot is taken by a compare-exchange
// (free -> filling), and its path is published with the release store of "pending".
constexpr int kSlots = 64; // one per batch worker, and the reports
enum SlotState : int { kFree, kFilling, kPending };
char slotPaths[kSlots][PATH_MAX];
std::atomic<int> slotState[kSlots];
static_assert(std::atomic<int>::is_always_lock_free);

int claimSlot(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int slot = 0; slot < kSlots; ++slot) {
        int expected = kFree;
        if (!slotState[slot].compare_exchange_strong(expected, kFilling, std::memory_order_acquire))
            continue;
        std::memcpy(slotPaths[slot], path.c_str(), path.size() + 1);
        slotState[slot].store(kPending, std::memory_order_release);
        return slot;
    }
    return -1;
}

void releaseSlot(int slot) {
    if (slot >= 0) slotState[slot].store(kFree, std::memory_order_release);
}

void onFatalSignal(int signal) {
    for (int slot = 0; slot < kSlots; ++slot)
        if (slotState[slot].load(std::memory_order_acquire) == kPending) unlink(slotPaths[slot]);
    static const char message[] = "kavet: interrupted\n";
    if (signal == SIGINT || signal == SIGTERM || signal == SIGHUP) {
        [[maybe_unused]] const auto written = write(STDERR_FILENO, message, sizeof message - 1);
    }
    // The handler was reset to the default on entry: die of the same signal.
    raise(signal);
}

mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

std::string errnoText() {
    return std::strerror(errno);
}

} // namespace

void removePendingFilesOnSignals() {
    struct sigaction action {};
    action.sa_handler = onFatalSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        sigaction(signal, &action, nullptr);
}

PendingFile::PendingFile(const std::string& finalPath) : finalPath_(finalPath) {
    const std::filesystem::path target(finalPath);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::string name = ".";
    name.append(target.filename().string()).append(".kavet-XXXXXX");
    tempPath_ = (folder / name).string();

    // Block the cleanup signals until the slot knows the name mkstemp chose.
    sigset_t all, previous;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &previous);
    descriptor_ = mkstemp(tempPath_.data());
    const int error = errno;
    if (descriptor_ >= 0) slot_ = claimSlot(tempPath_);
    sigprocmask(SIG_SETMASK, &previous, nullptr);

    if (descriptor_ < 0)
        throw host::HostError("cannot write '" + finalPath + "': " + std::strerror(error));
    fchmod(descriptor_, newFileMode());
}

PendingFile::~PendingFile() {
    if (descriptor_ >= 0) close(descriptor_);
    if (!committed_) unlink(tempPath_.c_str());
    releaseSlot(slot_);
}

int PendingFile::takeDescriptor() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return descriptor;
}

void PendingFile::commit() {
    if (descriptor_ >= 0) {
        close(descriptor_);
        descriptor_ = -1;
    }
    if (std::rename(tempPath_.c_str(), finalPath_.c_str()) != 0)
        throw host::HostError("cannot write '" + finalPath_ + "': " + errnoText());
    committed_ = true;
    releaseSlot(slot_);
    slot_ = -1;
}

} // namespace kavet::cli
