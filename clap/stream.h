// The byte streams a host hands in for state. A call may move fewer bytes than asked: read and
// write until done.
#pragma once

#include "base.h"

namespace kavet::clap {

struct InputStream {
    void* ctx; // the stream's own
    // Bytes read: 0 at the end, -1 on an error.
    int64(KAVET_CLAP_CALL* read)(const InputStream* stream, void* buffer, uint64 size);
};

struct OutputStream {
    void* ctx;
    // Bytes written, -1 on an error.
    int64(KAVET_CLAP_CALL* write)(const OutputStream* stream, const void* buffer, uint64 size);
};

static_assert(sizeof(InputStream) == 2 * sizeof(void*));

} // namespace kavet::clap
