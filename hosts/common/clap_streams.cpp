#include "clap_streams.h"

#include <algorithm>
#include <cstring>

namespace kavet::host {

using namespace clap;

MemoryInputStream::MemoryInputStream(std::vector<unsigned char> bytes, StreamFaults faults)
    : stream_{this, readCall}, bytes_(std::move(bytes)), faults_(faults) {}

int64 MemoryInputStream::readCall(const InputStream* stream, void* buffer, uint64 size) {
    return static_cast<MemoryInputStream*>(stream->ctx)->read(buffer, size);
}

int64 MemoryInputStream::read(void* buffer, uint64 size) {
    ++calls_;
    if (ended_) ++callsAfterEnd_;
    if (buffer == nullptr && size > 0) {
        ++nullBuffers_;
        errored_ = true;
        return -1;
    }
    if (position_ >= faults_.failAt) {
        ended_ = errored_ = true;
        return -1;
    }
    const std::size_t end = std::min(bytes_.size(), faults_.endAt);
    const std::size_t left = end > position_ ? end - position_ : 0;
    const std::size_t toFail = faults_.failAt - position_;
    const std::size_t n = static_cast<std::size_t>(
        std::min<uint64>({size, left, std::max<std::size_t>(faults_.chunk, 1), toFail}));
    if (n == 0 && size > 0) ended_ = endedAtZero_ = true;
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    if (calls_ == faults_.claimAt && faults_.claimExtra != 0) {
        lied_ = true;
        return faults_.claimExtra > 0 ? static_cast<int64>(size) + faults_.claimExtra
                                      : faults_.claimExtra;
    }
    return static_cast<int64>(n);
}

MemoryOutputStream::MemoryOutputStream(StreamFaults faults)
    : stream_{this, writeCall}, faults_(faults) {}

int64 MemoryOutputStream::writeCall(const OutputStream* stream, const void* buffer, uint64 size) {
    return static_cast<MemoryOutputStream*>(stream->ctx)->write(buffer, size);
}

int64 MemoryOutputStream::write(const void* buffer, uint64 size) {
    ++calls_;
    if (failed_) ++callsAfterError_;
    if ((buffer == nullptr && size > 0) || bytes_.size() >= faults_.failAt) {
        failed_ = true;
        return -1;
    }
    const std::size_t n = static_cast<std::size_t>(std::min<uint64>(
        {size, std::max<std::size_t>(faults_.chunk, 1), faults_.failAt - bytes_.size()}));
    const auto* first = static_cast<const unsigned char*>(buffer);
    if (n > 0) bytes_.insert(bytes_.end(), first, first + n);
    return static_cast<int64>(n);
}

} // namespace kavet::host
