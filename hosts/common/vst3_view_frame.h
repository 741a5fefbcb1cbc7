// The host's frame around a plug-in's view, and on Linux the host's run loop that the view
// asks it for: the view registers a timer and a handler of its window-system connection's
// descriptor, which this loop serves when the host runs it. [UI thread], every call.
#pragma once

#include "vst3_host_object.h"

#include "vst3/view.h"

#include <chrono>
#include <vector>

namespace kavet::host {

class ViewFrame;

#if defined(_WIN32)
// Windows views take their messages from the system's loop: the frame has no run loop.
using ViewFrameBase = HostObject<ViewFrame, vst3::IPlugFrame>;
#else
using ViewFrameBase = HostObject<ViewFrame, vst3::IPlugFrame, vst3::IRunLoop>;
#endif

class ViewFrame final : public ViewFrameBase {
public:
    ~ViewFrame();

    // Records the size asked for and gives it to the view (onSize), as a host that resized
    // its window would. A null view or size is refused.
    vst3::tresult KAVET_VST3_CALL resizeView(vst3::IPlugView* view,
                                             vst3::ViewRect* newSize) override;
    std::vector<vst3::ViewRect> resizeRequests;

#if !defined(_WIN32)
    // A handler or timer is kept with a reference until it is unregistered (or the frame
    // goes); registering one twice is refused (kInvalidArgument), as are null handlers,
    // negative descriptors and zero intervals. Unregistering an unknown one: kResultFalse.
    vst3::tresult KAVET_VST3_CALL registerEventHandler(vst3::IEventHandler* handler,
                                                       vst3::FileDescriptor fd) override;
    vst3::tresult KAVET_VST3_CALL unregisterEventHandler(vst3::IEventHandler* handler) override;
    vst3::tresult KAVET_VST3_CALL registerTimer(vst3::ITimerHandler* handler,
                                                vst3::TimerInterval milliseconds) override;
    vst3::tresult KAVET_VST3_CALL unregisterTimer(vst3::ITimerHandler* handler) override;

    // The host's side. Every timer once, whatever its interval, after the handlers of the
    // descriptors that have input now: one idle of the view, at a moment the host chooses.
    void tick();
    // Serves the descriptors as input comes and the timers at their intervals, for `ms`.
    void run(int ms);
    // Serves the descriptors only (no timer), until none has had input for `quietMs`, or
    // for a second at most (a handler that leaves its input unread).
    void drain(int quietMs = 30);

    std::size_t timerCount() const {
        return timers_.size();
    }
    std::size_t handlerCount() const {
        return watches_.size();
    }

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        vst3::ITimerHandler* handler;
        std::chrono::milliseconds interval;
        Clock::time_point due;
    };
    struct Watch {
        vst3::IEventHandler* handler;
        vst3::FileDescriptor fd;
    };
    // Waits up to `timeoutMs` (0: not at all) and calls the handlers of the descriptors with
    // input; answers whether any had input.
    bool serveDescriptors(int timeoutMs);
    void fireTimer(vst3::ITimerHandler* handler);
    bool isRegistered(vst3::ITimerHandler* handler) const;
    bool isRegistered(vst3::IEventHandler* handler) const;

    std::vector<Timer> timers_;
    std::vector<Watch> watches_;
#endif
};

} // namespace kavet::host
