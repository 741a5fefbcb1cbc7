// The VST 2.4 host's link: the user's changes and gestures go to the host callback as
// audioMasterAutomate, audioMasterBeginEdit and audioMasterEndEdit. The effect's link until
// an adaptor of another format sets its own. [UI thread]
#pragma once

#include "host_link.h"

#include "vst/audioeffect.h"

namespace kavet {

class VstHostLink final : public HostLink {
public:
    explicit VstHostLink(AudioEffect& effect) : effect_(effect) {}

    void changedByUser(int index, float value) override;
    void beginGesture(int index) override;
    void endGesture(int index) override;

private:
    AudioEffect& effect_;
};

} // namespace kavet
