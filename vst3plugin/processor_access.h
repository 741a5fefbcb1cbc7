// How a controller reaches the processor it was connected to: a private interface of this
// module, asked of the connection's other end, or handed over in a message when the host
// connects the two through proxies. Both live in one process (the classes are not
// distributable). Its id differs per channel configuration, so a controller only ever
// takes a processor of its own.
#pragma once

#include "core/config.h"
#include "vst3/base.h"

namespace kavet {
class Plug;
}

namespace kavet::vst3plugin {

class IProcessorAccess : public vst3::FUnknown {
public:
    static constexpr vst3::Uid iid =
        kStereo ? vst3::Uid::of(0x4B766574, 0x50726F63, 0x53746572, 0x656F0001)
                : vst3::Uid::of(0x4B766574, 0x50726F63, 0x4D6F6E6F, 0x00000001);

    // The effect that processes. [UI thread]
    virtual Plug* KAVET_VST3_CALL effect() = 0;
    // Whether the processor is active: while it is, the host's values reach the effect
    // through process(), and the controller leaves the effect alone.
    virtual bool KAVET_VST3_CALL active() = 0;

protected:
    ~IProcessorAccess() = default;
};

// The message a processor sends its controller on connection: the attribute holds the
// IProcessorAccess pointer's bytes.
inline constexpr const char* kAccessMessage =
    kStereo ? "velmorant.kavet.stereo.processor" : "velmorant.kavet.mono.processor";
inline constexpr const char* kAccessAttribute = "access";

} // namespace kavet::vst3plugin
