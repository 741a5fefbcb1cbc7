// What the effect tells the host format that carries it: a value the user set in the
// editor, and the gesture around it. Each format's adaptor implements this (the VST entry's
// link is the effect's own, core/vst_host_link.h). [UI thread]: the editor is its only
// caller.
#pragma once

namespace kavet {

class HostLink {
public:
    // The user set parameter `index` to `value` (normalised, as stored).
    virtual void changedByUser(int index, float value) = 0;
    // The user took and let go of a control; every begin is matched by an end.
    virtual void beginGesture(int index) = 0;
    virtual void endGesture(int index) = 0;

protected:
    ~HostLink() = default;
};

} // namespace kavet
