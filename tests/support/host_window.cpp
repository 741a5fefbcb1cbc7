// The tests' host window (host_window.h).
#include "host_window.h"

namespace kavet::test {

HostWindow::HostWindow(int x, int y, int width, int height, const char* className, WNDPROC proc,
                       HINSTANCE instance)
    : className(className), instance(instance) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    hwnd = CreateWindowExA(0, className, "host", WS_POPUP | WS_VISIBLE, x, y, width, height,
                           nullptr, nullptr, instance, nullptr);
}

HostWindow::~HostWindow() {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    UnregisterClassA(className, instance);
}

} // namespace kavet::test
