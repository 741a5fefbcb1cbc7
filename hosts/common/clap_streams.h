// The host's CLAP state streams, in memory: an input stream over given bytes and an output
// stream that collects them. Either may misbehave as a test asks (StreamFaults): move fewer
// bytes a call than asked, fail from some byte on, end before its bytes do, or (input) answer
// a count it was not asked for. Each records how the plug-in used it. [main thread]
#pragma once

#include "clap/stream.h"

#include <cstddef>
#include <limits>
#include <vector>

namespace kavet::host {

struct StreamFaults {
    static constexpr std::size_t kNever = std::numeric_limits<std::size_t>::max();
    std::size_t chunk = kNever;  // at most this many bytes a call (at least 1)
    std::size_t failAt = kNever; // a call at or past this byte answers -1
    std::size_t endAt = kNever;  // input: the end (0) at this byte, whatever bytes follow
    int claimAt = 0;             // input: call number `claimAt` (from 1) answers, above 0,
    clap::int64 claimExtra = 0;  // this many bytes more than it was asked for (a count a reader
                                 // can tell for a lie); below 0, this count; 0: never
};

class MemoryInputStream {
public:
    explicit MemoryInputStream(std::vector<unsigned char> bytes, StreamFaults faults = {});
    MemoryInputStream(const MemoryInputStream&) = delete;
    MemoryInputStream& operator=(const MemoryInputStream&) = delete;

    const clap::InputStream* get() const { return &stream_; }

    std::size_t position() const { return position_; }
    int calls() const { return calls_; }
    // Calls made after the stream had answered its end (0) or an error (-1).
    int callsAfterEnd() const { return callsAfterEnd_; }
    // Calls with a null buffer and a size above 0 (answered -1).
    int nullBuffers() const { return nullBuffers_; }
    // Whether the reader got exactly `size` bytes and then the end (0), with no error and no
    // false count on the way.
    bool handedOverExactly(std::size_t size) const {
        return !lied_ && !errored_ && endedAtZero_ && position_ == size;
    }

private:
    clap::int64 read(void* buffer, clap::uint64 size);
    static clap::int64 KAVET_CLAP_CALL readCall(const clap::InputStream* stream, void* buffer,
                                                clap::uint64 size);

    clap::InputStream stream_;
    std::vector<unsigned char> bytes_;
    StreamFaults faults_;
    std::size_t position_ = 0;
    int calls_ = 0, callsAfterEnd_ = 0, nullBuffers_ = 0;
    bool ended_ = false, endedAtZero_ = false, errored_ = false, lied_ = false;
};

class MemoryOutputStream {
public:
    explicit MemoryOutputStream(StreamFaults faults = {});
    MemoryOutputStream(const MemoryOutputStream&) = delete;
    MemoryOutputStream& operator=(const MemoryOutputStream&) = delete;

    const clap::OutputStream* get() const { return &stream_; }

    const std::vector<unsigned char>& bytes() const { return bytes_; }
    int calls() const { return calls_; }
    int callsAfterError() const { return callsAfterError_; }

private:
    clap::int64 write(const void* buffer, clap::uint64 size);
    static clap::int64 KAVET_CLAP_CALL writeCall(const clap::OutputStream* stream,
                                                 const void* buffer, clap::uint64 size);

    clap::OutputStream stream_;
    std::vector<unsigned char> bytes_;
    StreamFaults faults_;
    int calls_ = 0, callsAfterError_ = 0;
    bool failed_ = false;
};

} // namespace kavet::host
