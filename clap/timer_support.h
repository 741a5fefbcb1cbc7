// The timer-support extension: periodic calls on the main thread, served by the host's loop.
#pragma once

#include "plugin.h"

namespace kavet::clap {

inline constexpr const char* kExtTimerSupport = "clap.timer-support";

struct PluginTimerSupport {
    // [main thread]
    void(KAVET_CLAP_CALL* on_timer)(const Plugin* plugin, Id timer_id);
};

struct HostTimerSupport {
    // A timer every `period_ms` (the host may lengthen a short period; 30 Hz is always
    // allowed); its id into *timer_id. [main thread]
    bool(KAVET_CLAP_CALL* register_timer)(const Host* host, uint32 period_ms, Id* timer_id);
    // [main thread]
    bool(KAVET_CLAP_CALL* unregister_timer)(const Host* host, Id timer_id);
};

} // namespace kavet::clap
