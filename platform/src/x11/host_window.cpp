// kavet/host_window.h outside Windows: a parent that is a window of the layer passes
// through (the headless backend); any other is an X11 window id of the host.
#include <kavet/host_window.h>

#include "x11/backend.h"

#include <cstdint>

namespace kavet::hostwindow {

SystemWindow systemWindowKind() {
    return SystemWindow::x11;
}

HWND attach(const void* owner, void* system, int width, int height) {
    if (!system) return nullptr;
    if (IsWindow(static_cast<HWND>(system))) return static_cast<HWND>(system);
    const auto id = static_cast<::Window>(reinterpret_cast<std::uintptr_t>(system));
    return x11::Backend::instance().attach(owner, id, width, height);
}

HWND attachTopLevel(const void* owner, const char* title, int width, int height) {
    return x11::Backend::instance().attachTopLevel(owner, title, width, height);
}

bool closeRequested(const void* owner) {
    return x11::Backend::instance().closeAsked(owner);
}

bool setShown(const void* owner, bool shown) {
    auto& backend = x11::Backend::instance();
    HWND proxy = backend.proxyOfOwner(owner);
    return proxy != nullptr && backend.setMapped(proxy, shown);
}

bool attached(const void* owner) {
    return x11::Backend::instance().proxyOfOwner(owner) != nullptr;
}

void* shownWindow(const void* owner) {
    auto& backend = x11::Backend::instance();
    HWND proxy = backend.proxyOfOwner(owner);
    if (!proxy) return nullptr;
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(backend.xWindow(proxy)));
}

int eventDescriptor() {
    return x11::Backend::instance().connectionDescriptor();
}

bool startIdleTimer(const void*, unsigned, void (*)(void*), void*) {
    return false;
}

void stopIdleTimer(const void*) {}

void pump() {
    x11::Backend::instance().pump();
}

void present() {
    x11::Backend::instance().present();
}

void detach(const void* owner) {
    auto& backend = x11::Backend::instance();
    if (HWND proxy = backend.proxyOfOwner(owner)) backend.detach(proxy);
}

} // namespace kavet::hostwindow
