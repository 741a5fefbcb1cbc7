// The host as a plug-in sees it: who it is, its extensions, and its three requests.
#pragma once

#include "base.h"

namespace kavet::clap {

struct Host {
    Version clap_version; // the version the host speaks
    void* host_data;      // the host's own

    const char* name; // never null
    const char* vendor;
    const char* url;
    const char* version; // never null

    // One of the host's extensions by its id (`kExt...`), or null. Not before Plugin::init.
    // [any thread]
    const void*(KAVET_CLAP_CALL* get_extension)(const Host* host, const char* extension_id);
    // Deactivate and reactivate the plug-in when it suits the host. [any thread]
    void(KAVET_CLAP_CALL* request_restart)(const Host* host);
    // Activate the plug-in and call process() soon. [any thread]
    void(KAVET_CLAP_CALL* request_process)(const Host* host);
    // Call Plugin::on_main_thread soon. [any thread]
    void(KAVET_CLAP_CALL* request_callback)(const Host* host);
};

static_assert(sizeof(Host) == (sizeof(void*) == 8 ? 88 : 48));
static_assert(offsetof(Host, get_extension) == (sizeof(void*) == 8 ? 56 : 32));

} // namespace kavet::clap
