#include "vst3_view_frame.h"

#include "vst3_ref.h"

#include <algorithm>

#if !defined(_WIN32)
#include <poll.h>
#endif

namespace kavet::host {

using namespace vst3;

ViewFrame::~ViewFrame() {
#if !defined(_WIN32)
    for (const Timer& timer : timers_)
        timer.handler->release();
    for (const Watch& watch : watches_)
        watch.handler->release();
#endif
}

tresult ViewFrame::resizeView(IPlugView* view, ViewRect* newSize) {
    if (view == nullptr || newSize == nullptr) return kInvalidArgument;
    resizeRequests.push_back(*newSize);
    return view->onSize(newSize);
}

#if !defined(_WIN32)

tresult ViewFrame::registerEventHandler(IEventHandler* handler, FileDescriptor fd) {
    if (handler == nullptr || fd < 0 || isRegistered(handler)) return kInvalidArgument;
    handler->addRef();
    watches_.push_back({handler, fd});
    return kResultOk;
}

tresult ViewFrame::unregisterEventHandler(IEventHandler* handler) {
    const auto it = std::find_if(watches_.begin(), watches_.end(),
                                 [handler](const Watch& w) { return w.handler == handler; });
    if (handler == nullptr || it == watches_.end()) return kResultFalse;
    watches_.erase(it);
    handler->release();
    return kResultOk;
}

tresult ViewFrame::registerTimer(ITimerHandler* handler, TimerInterval milliseconds) {
    if (handler == nullptr || milliseconds == 0 || isRegistered(handler)) return kInvalidArgument;
    handler->addRef();
    const std::chrono::milliseconds interval(milliseconds);
    timers_.push_back({handler, interval, Clock::now() + interval});
    return kResultOk;
}

tresult ViewFrame::unregisterTimer(ITimerHandler* handler) {
    const auto it = std::find_if(timers_.begin(), timers_.end(),
                                 [handler](const Timer& t) { return t.handler == handler; });
    if (handler == nullptr || it == timers_.end()) return kResultFalse;
    timers_.erase(it);
    handler->release();
    return kResultOk;
}

bool ViewFrame::isRegistered(ITimerHandler* handler) const {
    return std::any_of(timers_.begin(), timers_.end(),
                       [handler](const Timer& t) { return t.handler == handler; });
}

bool ViewFrame::isRegistered(IEventHandler* handler) const {
    return std::any_of(watches_.begin(), watches_.end(),
                       [handler](const Watch& w) { return w.handler == handler; });
}

// A handler may register or unregister others (or itself) while it runs: each is called
// from a copy of the list, held by a reference of the loop's own, and only while it is still
// registered.
bool ViewFrame::serveDescriptors(int timeoutMs) {
    if (watches_.empty()) return false;
    std::vector<pollfd> fds;
    std::vector<Ref<IEventHandler>> handlers;
    for (const Watch& watch : watches_) {
        fds.push_back({watch.fd, POLLIN, 0});
        handlers.push_back(Ref<IEventHandler>::share(watch.handler));
    }
    if (poll(fds.data(), fds.size(), timeoutMs) <= 0) return false;
    bool any = false;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
        any = true;
        if (isRegistered(handlers[i].get())) handlers[i]->onFDIsSet(fds[i].fd);
    }
    return any;
}

void ViewFrame::fireTimer(ITimerHandler* handler) {
    const Ref<ITimerHandler> held = Ref<ITimerHandler>::share(handler);
    if (isRegistered(handler)) handler->onTimer();
}

void ViewFrame::tick() {
    serveDescriptors(0);
    std::vector<ITimerHandler*> due;
    for (const Timer& timer : timers_)
        due.push_back(timer.handler);
    for (ITimerHandler* handler : due)
        fireTimer(handler);
}

void ViewFrame::run(int ms) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
        Clock::time_point wake = end;
        for (const Timer& timer : timers_)
            wake = std::min(wake, timer.due);
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
        if (watches_.empty())
            poll(nullptr, 0, static_cast<int>(std::max<long long>(wait, 0)));
        else
            serveDescriptors(static_cast<int>(std::max<long long>(wait, 0)));
        now = Clock::now();
        std::vector<ITimerHandler*> due;
        for (Timer& timer : timers_) {
            if (timer.due > now) continue;
            due.push_back(timer.handler);
            timer.due = std::max(timer.due + timer.interval, now);
        }
        for (ITimerHandler* handler : due)
            fireTimer(handler);
    }
}

void ViewFrame::drain(int quietMs) {
    const Clock::time_point end = Clock::now() + std::chrono::seconds(1);
    while (serveDescriptors(quietMs) && Clock::now() < end) {
    }
}

#endif

} // namespace kavet::host
