#include "view.h"

#include "controller.h"

#include "core/plug.h"
#include "vst/aeffeditor.h"

#include <kavet/host_window.h>

#include <cstring>
#include <new>

namespace kavet::vst3plugin {

using namespace vst3;

namespace {

// The editor's idle: its meters, the host's changes and the window's pixels.
constexpr TimerInterval kIdleMs = 20;

const char* platformType() {
    return hostwindow::systemWindowKind() == hostwindow::SystemWindow::x11
               ? kPlatformTypeX11EmbedWindowID
               : kPlatformTypeHWND;
}

} // namespace

View* View::create(Controller& controller) {
    return new (std::nothrow) View(controller);
}

View::View(Controller& controller) : controller_(controller) {
    controller_.addRef();
}

View::~View() {
    removed();
    setFrame(nullptr);
    controller_.viewGone(this);
    controller_.release();
}

tresult View::queryInterface(const char* iid, void** obj) {
    return answerQuery<View, IPlugView, ITimerHandler, IEventHandler>(this, iid, obj);
}

uint32 View::release() {
    const uint32 left = refs_.drop();
    if (left == 0) delete this;
    return left;
}

tresult View::isPlatformTypeSupported(FIDString type) {
    return type != nullptr && std::strcmp(type, platformType()) == 0 ? kResultTrue : kResultFalse;
}

tresult View::attached(void* parent, FIDString type) {
    if (shown_ != nullptr || parent == nullptr || isPlatformTypeSupported(type) != kResultTrue)
        return kResultFalse;
    Plug* plug = controller_.effect();
    AEffEditor* editor = plug != nullptr ? plug->getEditor() : nullptr;
    ViewRect size{};
    if (editor == nullptr || getSize(&size) != kResultOk) return kResultFalse;
    HWND frameParent = hostwindow::attach(plug, parent, size.right, size.bottom);
    if (frameParent == nullptr) return kResultFalse;
    // The link first: the editor may report values as it opens.
    plug->setHostLink(&controller_.editLink());
    if (!editor->open(frameParent)) {
        plug->setHostLink(nullptr);
        hostwindow::detach(plug);
        return kResultFalse;
    }
    shown_ = plug;
    // An editor that is never idled shows neither meters nor the host's changes: without a
    // timer (a Linux host without a run loop) the view is refused.
    if (!startIdle()) {
        removed();
        return kResultFalse;
    }
    return kResultOk;
}

tresult View::removed() {
    if (shown_ == nullptr) return kResultFalse;
    stopIdle();
    shown_->getEditor()->close();
    hostwindow::detach(shown_);
    shown_->setHostLink(nullptr);
    shown_ = nullptr;
    return kResultOk;
}

tresult View::getSize(ViewRect* size) {
    if (size == nullptr) return kInvalidArgument;
    Plug* plug = shown_ != nullptr ? shown_ : controller_.effect();
    AEffEditor* editor = plug != nullptr ? plug->getEditor() : nullptr;
    ERect* rect = nullptr;
    if (editor == nullptr || !editor->getRect(&rect) || rect == nullptr) return kResultFalse;
    *size = ViewRect{0, 0, rect->right - rect->left, rect->bottom - rect->top};
    return kResultOk;
}

bool View::fixedSize(ViewRect& rect) const {
    return const_cast<View*>(this)->getSize(&rect) == kResultOk;
}

tresult View::onSize(ViewRect* newSize) {
    ViewRect size{};
    if (newSize == nullptr || !fixedSize(size)) return kInvalidArgument;
    const bool same = newSize->right - newSize->left == size.right &&
                      newSize->bottom - newSize->top == size.bottom;
    return same ? kResultOk : kResultFalse;
}

tresult View::checkSizeConstraint(ViewRect* rect) {
    ViewRect size{};
    if (rect == nullptr || !fixedSize(size)) return kInvalidArgument;
    rect->right = rect->left + size.right;
    rect->bottom = rect->top + size.bottom;
    return kResultOk;
}

tresult View::setFrame(IPlugFrame* frame) {
    if (frame == frame_) return kResultOk;
    if (shown_ != nullptr) stopIdle();
    if (runLoop_ != nullptr) runLoop_->release();
    runLoop_ = nullptr;
    if (frame_ != nullptr) frame_->release();
    frame_ = frame;
    if (frame_ != nullptr) {
        frame_->addRef();
        runLoop_ = queryAs<IRunLoop>(frame_);
    }
    if (shown_ != nullptr) startIdle();
    return kResultOk;
}

void View::onTimer() {
    if (shown_ == nullptr) return;
    hostwindow::pump();
    shown_->getEditor()->idle();
    hostwindow::present();
}

void View::onFDIsSet(FileDescriptor) {
    if (shown_ == nullptr) return;
    hostwindow::pump();
    hostwindow::present();
}

bool View::startIdle() {
    if (runLoop_ != nullptr) {
        timerOn_ = runLoop_->registerTimer(this, kIdleMs) == kResultOk;
        const int fd = hostwindow::eventDescriptor();
        watching_ = fd >= 0 && runLoop_->registerEventHandler(this, fd) == kResultOk;
    } else {
        ownTimer_ = hostwindow::startIdleTimer(shown_, kIdleMs, &View::tick, this);
    }
    return timerOn_ || ownTimer_;
}

void View::stopIdle() {
    if (timerOn_ && runLoop_ != nullptr) runLoop_->unregisterTimer(this);
    if (watching_ && runLoop_ != nullptr) runLoop_->unregisterEventHandler(this);
    if (ownTimer_) hostwindow::stopIdleTimer(shown_);
    timerOn_ = watching_ = ownTimer_ = false;
}

} // namespace kavet::vst3plugin
