// Process-wide state that the drawing layer reads: the module whose bitmap resources are
// loaded, the mouse-button swap flag and the msimg32 entry points. The frame writes the last
// two when it registers its window class and when it is constructed; drawing only reads them.
// [UI thread], no locking.
#pragma once

#include <windows.h>

namespace toolkit {

// The module whose resources CBitmap loads by id. Until the entry code sets it, this is the
// module that contains the toolkit's own code (the plug-in DLL), which is what it should be.
HINSTANCE getModuleInstance();
void setModuleInstance(HINSTANCE instance);

// True when the system swaps the mouse buttons (GetSystemMetrics (SM_SWAPBUTTON) > 0),
// recorded when the frame's window class is registered.
extern bool gSwapMouseButtons;

// Entry points of "msimg32.dll", looked up by the frame at run time. Null when the library or
// the entry is missing (or, for TransparentBlt, outside the NT family), and again once the
// last frame has freed the library: transparent drawing then falls back to the
// monochrome-mask method. AlphaBlend is looked up but never called.
using TransparentBltProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
using AlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                     BLENDFUNCTION);
extern TransparentBltProc gTransparentBlt;
extern AlphaBlendProc gAlphaBlend;

} // namespace toolkit
