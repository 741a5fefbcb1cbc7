// Creation of bitmaps, shared by the GDI functions and the resource loader.
#pragma once

#include "gdi/objects.h"

namespace kavet::platform::gdi {

// A device-dependent bitmap of black pixels (32-bit colour or monochrome), registered;
// null for sizes that are not positive or too large.
Bitmap* newBitmap(int width, int height, bool mono);
// A 32-bit DIB section, registered; bottomUp gives the memory order of a positive height.
Bitmap* newDibSection(int width, int height, bool bottomUp);

} // namespace kavet::platform::gdi
