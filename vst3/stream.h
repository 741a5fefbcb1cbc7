// A byte stream the host hands in for state: the component's and the controller's.
#pragma once

#include "base.h"

namespace kavet::vst3 {

class IBStream : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
    enum SeekMode : int32 { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };

    // `numBytesRead`/`numBytesWritten` may be null.
    virtual tresult KAVET_VST3_CALL read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
    virtual tresult KAVET_VST3_CALL write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
    virtual tresult KAVET_VST3_CALL seek(int64 pos, int32 mode, int64* result) = 0;
    virtual tresult KAVET_VST3_CALL tell(int64* pos) = 0;

protected:
    ~IBStream() = default;
};

} // namespace kavet::vst3
