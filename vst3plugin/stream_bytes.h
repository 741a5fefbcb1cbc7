// Whole states through the host's streams. [UI thread]
#pragma once

#include "vst3/stream.h"

namespace kavet::vst3plugin {

// Reads the stream to its end or until `capacity` + 1 bytes, so that a longer stream shows
// as one: the count read, or -1 when the stream fails.
inline int readState(vst3::IBStream* stream, void* buffer, int capacity) {
    if (stream == nullptr || buffer == nullptr) return -1;
    auto* bytes = static_cast<unsigned char*>(buffer);
    unsigned char spill = 0;
    int total = 0;
    while (total <= capacity) {
        void* at = total < capacity ? static_cast<void*>(bytes + total) : &spill;
        const vst3::int32 want = total < capacity ? capacity - total : 1;
        vst3::int32 got = 0;
        if (stream->read(at, want, &got) != vst3::kResultOk) return total > 0 ? total : -1;
        if (got <= 0) break;
        if (got > want) return -1; // a stream that claims more than it was asked for
        total += got;
    }
    return total;
}

// Writes all `size` bytes; false when the stream takes fewer.
inline bool writeState(vst3::IBStream* stream, const void* data, int size) {
    if (stream == nullptr) return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    int total = 0;
    while (total < size) {
        vst3::int32 put = 0;
        if (stream->write(const_cast<unsigned char*>(bytes + total), size - total, &put) !=
                vst3::kResultOk ||
            put <= 0)
            return false;
        total += put;
    }
    return true;
}

} // namespace kavet::vst3plugin
