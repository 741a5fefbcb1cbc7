#include "vst3_memory_stream.h"

#include <algorithm>
#include <cstring>

namespace kavet::host {

using namespace vst3;

tresult MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
    if (numBytesRead != nullptr) *numBytesRead = 0;
    if (numBytes < 0 || (buffer == nullptr && numBytes > 0)) return kInvalidArgument;
    const auto size = static_cast<int64>(bytes_.size());
    const int64 count = std::clamp<int64>(size - position_, 0, numBytes);
    if (count > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<std::size_t>(count));
    position_ += count;
    if (numBytesRead != nullptr) *numBytesRead = static_cast<int32>(count);
    return kResultOk;
}

tresult MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
    if (numBytesWritten != nullptr) *numBytesWritten = 0;
    if (numBytes < 0 || (buffer == nullptr && numBytes > 0)) return kInvalidArgument;
    const auto end = static_cast<std::size_t>(position_) + static_cast<std::size_t>(numBytes);
    if (end > bytes_.size()) bytes_.resize(end, 0);
    if (numBytes > 0)
        std::memcpy(bytes_.data() + position_, buffer, static_cast<std::size_t>(numBytes));
    position_ += numBytes;
    if (numBytesWritten != nullptr) *numBytesWritten = numBytes;
    return kResultOk;
}

tresult MemoryStream::seek(int64 pos, int32 mode, int64* result) {
    int64 base = 0;
    switch (mode) {
    case IBStream::kIBSeekSet:
        break;
    case IBStream::kIBSeekCur:
        base = position_;
        break;
    case IBStream::kIBSeekEnd:
        base = static_cast<int64>(bytes_.size());
        break;
    default:
        return kInvalidArgument;
    }
    if (pos < -base) return kInvalidArgument;
    position_ = base + pos;
    if (result != nullptr) *result = position_;
    return kResultOk;
}

tresult MemoryStream::tell(int64* pos) {
    if (pos == nullptr) return kInvalidArgument;
    *pos = position_;
    return kResultOk;
}

} // namespace kavet::host
