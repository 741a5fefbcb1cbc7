// A byte stream in memory, as a host hands one to getState and setState. [UI thread]
#pragma once

#include "vst3_host_object.h"

#include "vst3/stream.h"

#include <vector>

namespace kavet::host {

class MemoryStream final : public HostObject<MemoryStream, vst3::IBStream> {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

    // A read past the end answers the bytes there are (kResultOk, fewer read); a negative
    // count or a null buffer is refused. A write past the end extends the stream, any gap
    // filled with zeros. A seek before the start is refused; past the end is allowed.
    vst3::tresult KAVET_VST3_CALL read(void* buffer, vst3::int32 numBytes,
                                       vst3::int32* numBytesRead) override;
    vst3::tresult KAVET_VST3_CALL write(void* buffer, vst3::int32 numBytes,
                                        vst3::int32* numBytesWritten) override;
    vst3::tresult KAVET_VST3_CALL seek(vst3::int64 pos, vst3::int32 mode,
                                       vst3::int64* result) override;
    vst3::tresult KAVET_VST3_CALL tell(vst3::int64* pos) override;

    const std::vector<unsigned char>& bytes() const { return bytes_; }
    vst3::int64 position() const { return position_; }

private:
    std::vector<unsigned char> bytes_;
    vst3::int64 position_ = 0;
};

} // namespace kavet::host
