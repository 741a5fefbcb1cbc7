// The tests' recording host callback (recording_host.h).
#include "recording_host.h"

namespace kavet::test {

std::vector<HostCall>& hostCalls() {
    static std::vector<HostCall> calls;
    return calls;
}

int hostCount(VstInt32 opcode) {
    int n = 0;
    for (const HostCall& call : hostCalls())
        n += call.opcode == opcode;
    return n;
}

std::vector<std::pair<VstInt32, VstInt32>> hostGestures() {
    std::vector<std::pair<VstInt32, VstInt32>> gestures;
    for (const HostCall& call : hostCalls())
        if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit)
            gestures.emplace_back(call.opcode, call.index);
    return gestures;
}

static VstIntPtr answer(VstInt32 opcode) {
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterIdle:
        return 1;
    default:
        return 0;
    }
}

VstIntPtr VSTCALLBACK recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                    void*, float opt) {
    hostCalls().push_back({opcode, index, value, opt});
    return answer(opcode);
}

VstIntPtr VSTCALLBACK quietRecordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                         void*, float opt) {
    if (opcode != audioMasterVersion && opcode != audioMasterIdle)
        hostCalls().push_back({opcode, index, value, opt});
    return answer(opcode);
}

} // namespace kavet::test
