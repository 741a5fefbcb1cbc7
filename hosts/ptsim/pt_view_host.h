// The host's plug-in window as the simulated host shows an instance's view: a top-level
// window of the Win32 layer with a client area of the size the host chose, and a drawing
// port on it that DigiExt turns back into the window. Opening follows the host: ask the
// view's extent, create the view, attach the port; closing detaches the port, disposing
// destroys the view. UI thread only; the instance outlives its view host.
//
// On Windows every module shares the system's window manager. Here a module mapped from a
// file carries its own Win32 layer, whose windows cannot live in the host's: its view
// requests get their defined answers (a window-handle error when the port is attached),
// and a module linked into the host program (PtLinkedModule) shows its editor for real.
#pragma once

#include "pt_instance.h"

#include <windows.h>

#include <cstdint>

namespace kavet::ptsim {

class PtViewHost {
public:
    // A hidden window until the view opens; throws host::HostError when it cannot be made.
    PtViewHost(PtInstance& instance, int clientWidth, int clientHeight);
    ~PtViewHost(); // disposes of the view, then destroys the window
    PtViewHost(const PtViewHost&) = delete;
    PtViewHost& operator=(const PtViewHost&) = delete;

    HWND window() const { return window_; }
    // The routine table's answers (0 or a negative status).
    std::int32_t viewRect(PtViewRect* out) const;
    std::int32_t createView(PtViewRect* out = nullptr);
    std::int32_t attachPort(); // shows the window and hands over its port
    std::int32_t detachPort();
    std::int32_t draw(const PtViewRect& area);
    std::int32_t idle();
    std::int32_t dispose();
    // The host opening its plug-in window: extent, view, port; stops at the first failure.
    std::int32_t open();

private:
    PtInstance& instance_;
    HWND window_ = nullptr;
    PtsimPort port_{};
};

} // namespace kavet::ptsim
