// The log extension: messages for the host's log.
#pragma once

#include "plugin.h"

namespace kavet::clap {

inline constexpr const char* kExtLog = "clap.log";

using LogSeverity = int32;
inline constexpr LogSeverity kLogDebug = 0;
inline constexpr LogSeverity kLogInfo = 1;
inline constexpr LogSeverity kLogWarning = 2;
inline constexpr LogSeverity kLogError = 3;
inline constexpr LogSeverity kLogFatal = 4;
inline constexpr LogSeverity kLogHostMisbehaving = 5;   // the host broke the interface's rules
inline constexpr LogSeverity kLogPluginMisbehaving = 6; // said by a layer between the two

struct HostLog {
    // [any thread]
    void(KAVET_CLAP_CALL* log)(const Host* host, LogSeverity severity, const char* message);
};

} // namespace kavet::clap
