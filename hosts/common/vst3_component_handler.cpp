#include "vst3_component_handler.h"

namespace kavet::host {

using namespace vst3;

tresult RecordingHandler::beginEdit(ParamID id) {
    edits.push_back({Edit::Begin, id});
    return kResultOk;
}

tresult RecordingHandler::performEdit(ParamID id, ParamValue valueNormalized) {
    edits.push_back({Edit::Perform, id, valueNormalized});
    return kResultOk;
}

tresult RecordingHandler::endEdit(ParamID id) {
    edits.push_back({Edit::End, id});
    return kResultOk;
}

tresult RecordingHandler::restartComponent(int32 flags) {
    edits.push_back({Edit::Restart, 0, 0.0, flags});
    return kResultOk;
}

} // namespace kavet::host
