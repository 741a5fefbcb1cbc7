// On Windows the host's window is the parent, and the system carries input and pixels.
#include <kavet/host_window.h>

namespace kavet::hostwindow {

HWND attach(const void*, void* system, int, int) {
    return IsWindow(static_cast<HWND>(system)) ? static_cast<HWND>(system) : nullptr;
}

HWND attachTopLevel(const void*, const char*, int, int) {
    return nullptr;
}

bool closeRequested(const void*) {
    return false;
}

bool attached(const void*) {
    return false;
}

void* shownWindow(const void*) {
    return nullptr;
}

void pump() {}

void present() {}

void detach(const void*) {}

} // namespace kavet::hostwindow
