// The editor's view: the processing effect's own editor, opened in the host's window. On
// Linux the host's run loop drives it (a timer for its idle, the X connection's descriptor
// for its input); on Windows a timer of the editor's thread does. [UI thread], every call.
#pragma once

#include "ref_count.h"

#include "vst3/view.h"

namespace kavet {
class Plug;
}

namespace kavet::vst3plugin {

class Controller;

class View final : public vst3::IPlugView, public vst3::ITimerHandler, public vst3::IEventHandler {
public:
    // With one reference for the caller; it holds one on `controller`. Null when allocation
    // fails.
    static View* create(Controller& controller);

    vst3::tresult KAVET_VST3_CALL queryInterface(const char* iid, void** obj) override;
    vst3::uint32 KAVET_VST3_CALL addRef() override { return refs_.add(); }
    vst3::uint32 KAVET_VST3_CALL release() override;

    vst3::tresult KAVET_VST3_CALL isPlatformTypeSupported(vst3::FIDString type) override;
    vst3::tresult KAVET_VST3_CALL attached(void* parent, vst3::FIDString type) override;
    vst3::tresult KAVET_VST3_CALL removed() override;
    vst3::tresult KAVET_VST3_CALL onWheel(float) override { return vst3::kResultFalse; }
    vst3::tresult KAVET_VST3_CALL onKeyDown(vst3::char16, vst3::int16, vst3::int16) override {
        return vst3::kResultFalse;
    }
    vst3::tresult KAVET_VST3_CALL onKeyUp(vst3::char16, vst3::int16, vst3::int16) override {
        return vst3::kResultFalse;
    }
    vst3::tresult KAVET_VST3_CALL getSize(vst3::ViewRect* size) override;
    vst3::tresult KAVET_VST3_CALL onSize(vst3::ViewRect* newSize) override;
    vst3::tresult KAVET_VST3_CALL onFocus(vst3::TBool) override { return vst3::kResultOk; }
    vst3::tresult KAVET_VST3_CALL setFrame(vst3::IPlugFrame* frame) override;
    vst3::tresult KAVET_VST3_CALL canResize() override { return vst3::kResultFalse; }
    vst3::tresult KAVET_VST3_CALL checkSizeConstraint(vst3::ViewRect* rect) override;

    // The editor's idle and its input, from the host's run loop.
    void KAVET_VST3_CALL onTimer() override;
    void KAVET_VST3_CALL onFDIsSet(vst3::FileDescriptor fd) override;

private:
    explicit View(Controller& controller);
    ~View();
    static void tick(void* view) { static_cast<View*>(view)->onTimer(); }
    bool startIdle(); // false when no timer could be had
    void stopIdle();
    bool fixedSize(vst3::ViewRect& rect) const;

    RefCount refs_;
    Controller& controller_;
    Plug* shown_ = nullptr;             // the effect whose editor is open
    vst3::IPlugFrame* frame_ = nullptr; // with a reference
    vst3::IRunLoop* runLoop_ = nullptr; // the frame's, with a reference
    bool timerOn_ = false, watching_ = false, ownTimer_ = false;
};

} // namespace kavet::vst3plugin
