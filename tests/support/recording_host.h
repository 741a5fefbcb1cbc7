// The host callback of the tests: every call an effect makes to its host is recorded, in
// order, for the test to read back.
#pragma once

#include "vst/aeffect.h"

#include <utility>
#include <vector>

namespace kavet::test {

struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

// The calls since the last clear.
std::vector<HostCall>& hostCalls();
// How many of the calls are `opcode`.
int hostCount(VstInt32 opcode);
// The edit gestures among the calls: (audioMasterBeginEdit or audioMasterEndEdit, index).
std::vector<std::pair<VstInt32, VstInt32>> hostGestures();

// Records every call. Answers version 2.4, takes edit gestures and idles (1), nothing else.
VstIntPtr VSTCALLBACK recordingHost(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                    VstIntPtr value, void* ptr, float opt);
// The same, leaving out the version queries and idles that an open editor makes all the time.
VstIntPtr VSTCALLBACK quietRecordingHost(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                         VstIntPtr value, void* ptr, float opt);

} // namespace kavet::test
