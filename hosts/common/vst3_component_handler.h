// The host's component handler that keeps what the controller tells it: the user's edits in
// the editor (begin, perform with the value, end) and restart requests, in order. [UI thread]
#pragma once

#include "vst3_host_object.h"

#include "vst3/controller.h"

#include <vector>

namespace kavet::host {

struct Edit {
    enum Kind { Begin, Perform, End, Restart } kind;
    vst3::ParamID id = 0;         // Restart: 0
    vst3::ParamValue value = 0.0; // Perform: the normalised value
    vst3::int32 flags = 0;        // Restart: its flags
    bool operator==(const Edit&) const = default;
};

class RecordingHandler final : public HostObject<RecordingHandler, vst3::IComponentHandler> {
public:
    vst3::tresult KAVET_VST3_CALL beginEdit(vst3::ParamID id) override;
    vst3::tresult KAVET_VST3_CALL performEdit(vst3::ParamID id,
                                              vst3::ParamValue valueNormalized) override;
    vst3::tresult KAVET_VST3_CALL endEdit(vst3::ParamID id) override;
    vst3::tresult KAVET_VST3_CALL restartComponent(vst3::int32 flags) override;

    std::vector<Edit> edits;
};

} // namespace kavet::host
