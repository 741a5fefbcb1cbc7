// Whole states through the host's streams. [main thread]
#pragma once

#include "clap/stream.h"

namespace kavet::clapplugin {

// Reads the stream to its end or until `capacity` + 1 bytes, so that a longer stream shows
// as one: the count read, or -1 when the stream fails (an error, or a count it was not asked
// for).
inline long long readState(const clap::InputStream* stream, void* buffer, long long capacity) {
    if (stream == nullptr || stream->read == nullptr || buffer == nullptr) return -1;
    auto* bytes = static_cast<unsigned char*>(buffer);
    unsigned char spill = 0;
    long long total = 0;
    while (total <= capacity) {
        void* at = total < capacity ? static_cast<void*>(bytes + total) : &spill;
        const long long want = total < capacity ? capacity - total : 1;
        const clap::int64 got = stream->read(stream, at, static_cast<clap::uint64>(want));
        if (got == 0) break;
        if (got < 0 || got > want) return -1;
        total += got;
    }
    return total;
}

// Writes all `size` bytes; false when the stream fails or takes none.
inline bool writeState(const clap::OutputStream* stream, const void* data, long long size) {
    if (stream == nullptr || stream->write == nullptr || data == nullptr) return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    long long total = 0;
    while (total < size) {
        const clap::int64 put =
            stream->write(stream, bytes + total, static_cast<clap::uint64>(size - total));
        if (put <= 0 || put > size - total) return false;
        total += put;
    }
    return true;
}

} // namespace kavet::clapplugin
