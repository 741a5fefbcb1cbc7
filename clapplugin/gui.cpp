// The editor: the effect's own editor embedded in the host's window (X11 or Win32, as the
// window layer speaks), of the editor's fixed size. Its idle (meters, the host's changes,
// pixels) runs every 20 ms: on X11 from the host's timer, with the X connection's descriptor
// watched by the host's loop for input; on Windows from a timer of the editor's thread.
// [main thread], every call.
#include "instance.h"

#include "core/plug.h"
#include "vst/aeffeditor.h"

#include <kavet/host_window.h>

#include <cstdint>
#include <cstring>

namespace kavet::clapplugin {

using namespace clap;

namespace {

constexpr uint32 kIdleMs = 20;

const char* windowApi() {
    return hostwindow::systemWindowKind() == hostwindow::SystemWindow::x11 ? kWindowApiX11
                                                                           : kWindowApiWin32;
}

bool embeddable(const char* api, bool floating) {
    return !floating && api != nullptr && std::strcmp(api, windowApi()) == 0;
}

void tick(void* instance) {
    static_cast<Instance*>(instance)->onTimer(kInvalidId);
}

Instance* checked(const Plugin* plugin, const char* call) {
    Instance* self = Instance::of(plugin);
    if (self != nullptr) self->expect(Instance::Thread::main, call);
    return self;
}

bool KAVET_CLAP_CALL isApiSupported(const Plugin* plugin, const char* api, bool floating) {
    checked(plugin, "gui.is_api_supported");
    return embeddable(api, floating);
}

bool KAVET_CLAP_CALL preferredApi(const Plugin* plugin, const char** api, bool* floating) {
    checked(plugin, "gui.get_preferred_api");
    if (api == nullptr || floating == nullptr) return false;
    *api = windowApi();
    *floating = false;
    return true;
}

bool KAVET_CLAP_CALL create(const Plugin* plugin, const char* api, bool floating) {
    Instance* self = checked(plugin, "gui.create");
    return self != nullptr && self->guiCreate(api, floating);
}

void KAVET_CLAP_CALL destroy(const Plugin* plugin) {
    if (Instance* self = checked(plugin, "gui.destroy")) self->guiDestroy();
}

// The editor's pixels are its own: a host's scale is not taken.
bool KAVET_CLAP_CALL setScale(const Plugin* plugin, double) {
    checked(plugin, "gui.set_scale");
    return false;
}

bool KAVET_CLAP_CALL getSize(const Plugin* plugin, uint32* width, uint32* height) {
    Instance* self = checked(plugin, "gui.get_size");
    return self != nullptr && width != nullptr && height != nullptr &&
           self->guiSize(*width, *height);
}

bool KAVET_CLAP_CALL canResize(const Plugin* plugin) {
    checked(plugin, "gui.can_resize");
    return false;
}

bool KAVET_CLAP_CALL resizeHints(const Plugin* plugin, GuiResizeHints* hints) {
    checked(plugin, "gui.get_resize_hints");
    if (hints == nullptr) return false;
    *hints = GuiResizeHints{false, false, false, 0, 0};
    return true;
}

// Every size asked for comes back as the editor's one size.
bool KAVET_CLAP_CALL adjustSize(const Plugin* plugin, uint32* width, uint32* height) {
    Instance* self = checked(plugin, "gui.adjust_size");
    return self != nullptr && width != nullptr && height != nullptr &&
           self->guiSize(*width, *height);
}

bool KAVET_CLAP_CALL setSize(const Plugin* plugin, uint32 width, uint32 height) {
    Instance* self = checked(plugin, "gui.set_size");
    uint32 w = 0, h = 0;
    return self != nullptr && self->guiSize(w, h) && w == width && h == height;
}

bool KAVET_CLAP_CALL setParent(const Plugin* plugin, const Window* window) {
    Instance* self = checked(plugin, "gui.set_parent");
    return self != nullptr && self->guiSetParent(window);
}

bool KAVET_CLAP_CALL setTransient(const Plugin* plugin, const Window*) {
    checked(plugin, "gui.set_transient");
    return false; // never floating
}

void KAVET_CLAP_CALL suggestTitle(const Plugin* plugin, const char*) {
    checked(plugin, "gui.suggest_title");
}

// The editor's window in the host's: shown or hidden as the host asks (on Windows the host's
// own window, the parent, does it).
bool KAVET_CLAP_CALL show(const Plugin* plugin) {
    Instance* self = checked(plugin, "gui.show");
    return self != nullptr && self->guiShow(true);
}

bool KAVET_CLAP_CALL hide(const Plugin* plugin) {
    Instance* self = checked(plugin, "gui.hide");
    return self != nullptr && self->guiShow(false);
}

void KAVET_CLAP_CALL onTimer(const Plugin* plugin, Id timer) {
    if (Instance* self = checked(plugin, "timer_support.on_timer")) self->onTimer(timer);
}

void KAVET_CLAP_CALL onFd(const Plugin* plugin, int fd, uint32) {
    if (Instance* self = checked(plugin, "posix_fd_support.on_fd")) self->onFd(fd);
}

} // namespace

const PluginGui kGuiExtension{isApiSupported, preferredApi, create,       destroy,    setScale,
                              getSize,        canResize,    resizeHints,  adjustSize, setSize,
                              setParent,      setTransient, suggestTitle, show,       hide};
const PluginTimerSupport kTimerExtension{onTimer};
const PluginPosixFdSupport kPosixFdExtension{onFd};

// An editor that is never idled shows neither meters nor the host's changes: without a timer
// (an X11 host without timer-support) no editor is created.
bool Instance::guiCreate(const char* api, bool floating) {
    if (guiCreated_) {
        misbehaving("gui.create", "called twice");
        return false;
    }
    if (!embeddable(api, floating) || plug_->getEditor() == nullptr) return false;
    if (!startIdle()) return false;
    guiCreated_ = true;
    return true;
}

void Instance::guiDestroy() {
    if (!guiCreated_) return;
    closeEditor();
    stopIdle();
    guiCreated_ = false;
}

bool Instance::guiSize(uint32& width, uint32& height) {
    AEffEditor* editor = plug_->getEditor();
    ERect* rect = nullptr;
    if (editor == nullptr || !editor->getRect(&rect) || rect == nullptr) return false;
    width = static_cast<uint32>(rect->right - rect->left);
    height = static_cast<uint32>(rect->bottom - rect->top);
    return true;
}

bool Instance::guiSetParent(const Window* window) {
    if (!guiCreated_ || shown_ != nullptr || window == nullptr || !embeddable(window->api, false))
        return false;
    void* parent = hostwindow::systemWindowKind() == hostwindow::SystemWindow::x11
                       ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(window->x11))
                       : window->win32;
    uint32 width = 0, height = 0;
    if (parent == nullptr || !guiSize(width, height)) return false;
    HWND frameParent =
        hostwindow::attach(plug_, parent, static_cast<int>(width), static_cast<int>(height));
    if (frameParent == nullptr) return false;
    // The link first: the editor may report values as it opens.
    plug_->setHostLink(this);
    if (!plug_->getEditor()->open(frameParent)) {
        plug_->setHostLink(nullptr);
        hostwindow::detach(plug_);
        return false;
    }
    shown_ = plug_;
    shownPrefs_ = plug_->getPrefs()->values();
    // The window layer's connection exists from the first attached window on.
    const int fd = hostwindow::eventDescriptor();
    if (fd >= 0 && hostFd_ != nullptr && hostFd_->register_fd != nullptr &&
        hostFd_->register_fd(host_, fd, kPosixFdRead))
        watchedFd_ = fd;
    return true;
}

bool Instance::guiShow(bool shown) {
    return shown_ != nullptr && hostwindow::setShown(shown_, shown);
}

void Instance::closeEditor() {
    if (watchedFd_ >= 0 && hostFd_->unregister_fd != nullptr)
        hostFd_->unregister_fd(host_, watchedFd_);
    watchedFd_ = -1;
    if (shown_ == nullptr) return;
    shown_->getEditor()->close();
    hostwindow::detach(shown_);
    shown_->setHostLink(nullptr);
    shown_ = nullptr;
}

void Instance::onTimer(Id timer) {
    if (shown_ == nullptr || (!ownTimer_ && timer != timerId_)) return;
    hostwindow::pump();
    shown_->getEditor()->idle();
    hostwindow::present();
    notePreferences();
}

void Instance::notePreferences() {
    const PrefValues now = plug_->getPrefs()->values();
    if (std::memcmp(&now, &shownPrefs_, sizeof now) == 0) return;
    const bool trimRange = now.words[kPrefTrimRange] != shownPrefs_.words[kPrefTrimRange];
    shownPrefs_ = now;
    if (hostState_ != nullptr && hostState_->mark_dirty != nullptr) hostState_->mark_dirty(host_);
    if (trimRange && hostParams_ != nullptr && hostParams_->rescan != nullptr)
        hostParams_->rescan(host_, kParamRescanText);
}

void Instance::onFd(int fd) {
    if (shown_ == nullptr || fd != watchedFd_) return;
    hostwindow::pump();
    hostwindow::present();
}

// The window layer's own timer where it has one (Windows), else the host's.
bool Instance::startIdle() {
    ownTimer_ = hostwindow::startIdleTimer(plug_, kIdleMs, &tick, this);
    if (ownTimer_) return true;
    Id id = kInvalidId;
    if (hostTimer_ == nullptr || hostTimer_->register_timer == nullptr ||
        !hostTimer_->register_timer(host_, kIdleMs, &id) || id == kInvalidId)
        return false;
    timerId_ = id;
    return true;
}

void Instance::stopIdle() {
    if (ownTimer_) hostwindow::stopIdleTimer(plug_);
    if (timerId_ != kInvalidId && hostTimer_->unregister_timer != nullptr)
        hostTimer_->unregister_timer(host_, timerId_);
    ownTimer_ = false;
    timerId_ = kInvalidId;
}

} // namespace kavet::clapplugin
