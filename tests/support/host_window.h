// A top-level host window of the headless backend, the parent an editor opens in: its class
// is registered for it and unregistered after it.
#pragma once

#include <windows.h>

namespace kavet::test {

class HostWindow {
public:
    // A visible popup of width x height at screen (x, y).
    HostWindow(int x, int y, int width, int height, const char* className = "KavetTestHost",
               WNDPROC proc = DefWindowProcA, HINSTANCE instance = GetModuleHandleA(nullptr));
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return hwnd; }
    operator HWND() const { return hwnd; }

private:
    const char* className;
    HINSTANCE instance;
    HWND hwnd = nullptr;
};

} // namespace kavet::test
