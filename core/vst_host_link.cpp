#include "vst_host_link.h"

namespace kavet {

void VstHostLink::changedByUser(int index, float value) {
    audioMasterCallback master = effect_.getAudioMaster();
    if (master) master(effect_.getAeffect(), audioMasterAutomate, index, 0, nullptr, value);
}

// The base class's calls, not the effect's overrides (which come back here).
void VstHostLink::beginGesture(int index) {
    (void)effect_.AudioEffect::beginEdit(index);
}

void VstHostLink::endGesture(int index) {
    (void)effect_.AudioEffect::endEdit(index);
}

} // namespace kavet
