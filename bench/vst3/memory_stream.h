// A read-only IBStream over bytes the host holds: a state handed to a component.
#pragma once

#include "vst3/stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace kavet::bench {

class MemoryStream final : public vst3::IBStream {
public:
    explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    vst3::tresult KAVET_VST3_CALL queryInterface(const char* iid, void** obj) override {
        if (obj == nullptr) return vst3::kInvalidArgument;
        const bool ours = vst3::IBStream::iid.is(iid) || vst3::FUnknown::iid.is(iid);
        *obj = ours ? this : nullptr;
        return ours ? vst3::kResultOk : vst3::kNoInterface;
    }
    // Lives on the caller's stack: the component reads it during setState only.
    vst3::uint32 KAVET_VST3_CALL addRef() override { return 1; }
    vst3::uint32 KAVET_VST3_CALL release() override { return 1; }

    vst3::tresult KAVET_VST3_CALL read(void* buffer, vst3::int32 numBytes,
                                       vst3::int32* numBytesRead) override {
        if (buffer == nullptr || numBytes < 0) return vst3::kInvalidArgument;
        const std::size_t n = std::min(static_cast<std::size_t>(numBytes), bytes_.size() - pos_);
        if (n > 0) std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        if (numBytesRead != nullptr) *numBytesRead = static_cast<vst3::int32>(n);
        return vst3::kResultOk;
    }
    vst3::tresult KAVET_VST3_CALL write(void*, vst3::int32, vst3::int32*) override {
        return vst3::kResultFalse;
    }
    vst3::tresult KAVET_VST3_CALL seek(vst3::int64, vst3::int32, vst3::int64*) override {
        return vst3::kResultFalse;
    }
    vst3::tresult KAVET_VST3_CALL tell(vst3::int64* pos) override {
        if (pos == nullptr) return vst3::kInvalidArgument;
        *pos = static_cast<vst3::int64>(pos_);
        return vst3::kResultOk;
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

} // namespace kavet::bench
