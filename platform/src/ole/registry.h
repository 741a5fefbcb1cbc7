// The drop targets registered with RegisterDragDrop, per window.
#pragma once

#include <ole2.h>

namespace kavet::platform::ole {

// The target registered for `hwnd` with one reference added for the caller, or null.
IDropTarget* acquireTarget(HWND hwnd);

} // namespace kavet::platform::ole
