// Delivery of a drop to the drop target registered for a window, as OLE does when the user
// releases a drag over it. Used by the driver; not part of the Win32 API.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kavet::platform {

// Runs DragEnter, DragOver and Drop (DragLeave when the target refuses) on the
// IDropTarget registered for `hwnd` with a data object offering CF_HDROP (files) or
// CF_TEXT (text). `screen` is the pointer in screen coordinates, `keyState` MK_* bits.
// Returns false when no drop target is registered for hwnd; `effect` receives the
// DROPEFFECT the target answered to Drop.
bool deliverFileDrop(HWND hwnd, POINT screen, DWORD keyState, const std::vector<std::string>& paths,
                     DWORD& effect);
bool deliverTextDrop(HWND hwnd, POINT screen, DWORD keyState, const std::string& text,
                     DWORD& effect);

} // namespace kavet::platform
