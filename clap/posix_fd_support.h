// The posix-fd-support extension: file descriptors the host's loop watches for the plug-in
// (on X11, the editor's connection to the display), with calls on the main thread.
#pragma once

#include "plugin.h"

namespace kavet::clap {

inline constexpr const char* kExtPosixFdSupport = "clap.posix-fd-support";

// What to watch for, and what happened.
inline constexpr uint32 kPosixFdRead = 1u << 0;
inline constexpr uint32 kPosixFdWrite = 1u << 1;
inline constexpr uint32 kPosixFdError = 1u << 2;

struct PluginPosixFdSupport {
    // Level-triggered: called as long as the condition holds. [main thread]
    void(KAVET_CLAP_CALL* on_fd)(const Plugin* plugin, int fd, uint32 flags);
};

// [main thread], every call.
struct HostPosixFdSupport {
    bool(KAVET_CLAP_CALL* register_fd)(const Host* host, int fd, uint32 flags);
    bool(KAVET_CLAP_CALL* modify_fd)(const Host* host, int fd, uint32 flags);
    bool(KAVET_CLAP_CALL* unregister_fd)(const Host* host, int fd);
};

} // namespace kavet::clap
