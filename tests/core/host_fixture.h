// A host for one effect, on the recording host callback (recording_host.h): block processing
// helpers and access to the effect through its record, as a host has it.
#pragma once

#include "recording_host.h"

#include "core/plug.h"

#include <memory>
#include <vector>

namespace kavet::test {

// An effect made through the creation function and closed through the dispatcher.
class EffectHandle {
public:
    EffectHandle();

    Plug& plug() { return *plug_; }
    AEffect* record() { return plug_->getAeffect(); }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    std::string display(int index);

    // Runs `frames` frames of `input` (one buffer per channel) through processReplacing.
    std::vector<std::vector<float>> run(const std::vector<std::vector<float>>& input);
    std::vector<std::vector<double>> runDouble(const std::vector<std::vector<double>>& input);
    // A constant signal on every channel.
    std::vector<std::vector<float>> runConstant(float value, int frames);

private:
    struct Close {
        void operator()(Plug* plug) const; // effClose, which deletes the effect
    };
    std::unique_ptr<Plug, Close> plug_;
};

// Classification helper for the subnormal checks.
bool isSubnormal(double x);

} // namespace kavet::test
