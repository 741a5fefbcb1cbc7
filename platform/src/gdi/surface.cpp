// Surfaces and the DCs that draw into them (window DCs of the window manager).
#include "gdi/surface.h"

#include "gdi/dc_internal.h"
#include "gdi/objects.h"

namespace kavet::platform {

void Surface::resize(int w, int h) {
    width = w > 0 ? w : 0;
    height = h > 0 ? h : 0;
    storage.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    pixels = storage.empty() ? nullptr : storage.data();
}

HDC createSurfaceDC(Surface& target, POINT origin, RECT clip) {
    auto* dc = new gdi::Dc(false);
    dc->surface = &target;
    dc->origin = origin;
    dc->visible = gdi::intersect(clip, RECT{0, 0, target.width, target.height});
    gdi::initialiseDc(*dc);
    return reinterpret_cast<HDC>(gdi::handleOf(dc));
}

void releaseSurfaceDC(HDC hdc) {
    gdi::Dc* dc = gdi::dcOf(hdc);
    if (dc && !dc->isMemory()) gdi::destroyDc(dc);
}

} // namespace kavet::platform
