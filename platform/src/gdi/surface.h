// The seam between windows and drawing: a window's client area (or any other target) is a
// Surface of 32-bit pixels, and a DC made with createSurfaceDC draws into it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace kavet::platform {

// 32-bit pixels 0x00RRGGBB (the byte order of a Windows 32-bit DIB: blue first in memory),
// top-down rows, `width` pixels per row with no padding.
struct Surface {
    int width = 0, height = 0;
    std::uint32_t* pixels = nullptr; // width*height, owned elsewhere or by storage
    std::vector<std::uint32_t> storage;
    // Reallocates storage to w*h black pixels (negative sizes count as 0) and points
    // `pixels` at it.
    void resize(int w, int h);
};

// A DC that draws into `target`, with its origin at `origin` (window client coordinates:
// logical point (0,0) lands on surface pixel `origin`) and every drawing clipped to `clip`
// (surface coordinates, intersected with the surface). The DC starts with the stock
// objects selected (BLACK_PEN, WHITE_BRUSH, SYSTEM_FONT), OPAQUE mode, white background and
// black text. Released by releaseSurfaceDC (DeleteDC also accepts it). `target` must
// outlive the DC; resizing the target while the DC lives is not allowed.
HDC createSurfaceDC(Surface& target, POINT origin, RECT clip);
void releaseSurfaceDC(HDC dc);

} // namespace kavet::platform
