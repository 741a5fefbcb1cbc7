// The thread-check extension: which of the interface's two threads the caller is on. The main
// thread is one thread for the plug-in's whole life; the audio thread is a role that one thread
// at a time holds (the main thread among them), so that no two [audio thread] calls overlap.
#pragma once

#include "plugin.h"

namespace kavet::clap {

inline constexpr const char* kExtThreadCheck = "clap.thread-check";

// [any thread], every call.
struct HostThreadCheck {
    bool(KAVET_CLAP_CALL* is_main_thread)(const Host* host);
    bool(KAVET_CLAP_CALL* is_audio_thread)(const Host* host);
};

} // namespace kavet::clap
