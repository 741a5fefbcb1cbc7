// The effect's host link while the LV2 UI shows its editor: a value the user sets goes out
// to the UI's host as the port's plain value, and a gesture as ui:touch. The audio thread
// then takes the value from the port, as it takes any host's. [UI thread]
#pragma once

#include "editor_access.h"

#include "core/host_link.h"

#include <atomic>

namespace kavet {
class Plug;
}

namespace kavet::lv2 {

class UiLink final : public HostLink {
public:
    // `resend` is set at each value the user sets: the next run gives the effect every
    // port's value again, so that what the editor stored gives way to the ports (the host's
    // enable switch folded into Bypass among them).
    UiLink(Plug& plug, std::atomic<bool>& resend) : plug_(plug), resend_(resend) {}

    // Null while no UI is attached: values then go nowhere.
    void attach(const EditorPortLink* link) { link_ = link; }

    void changedByUser(int index, float value) override;
    void beginGesture(int index) override;
    void endGesture(int index) override;

private:
    void touch(int index, bool grabbed);

    Plug& plug_;
    std::atomic<bool>& resend_;
    const EditorPortLink* link_ = nullptr;
};

} // namespace kavet::lv2
