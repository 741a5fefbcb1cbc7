// DC set-up and teardown shared by window DCs (surface.cpp) and memory DCs (dc.cpp).
#pragma once

#include "gdi/objects.h"

namespace kavet::platform::gdi {

// Selects the default objects (BLACK_PEN, WHITE_BRUSH, SYSTEM_FONT) and registers the DC.
void initialiseDc(Dc& dc);
// Lets go of every selected object (freeing those deleted meanwhile) and frees the DC.
void destroyDc(Dc* dc);

} // namespace kavet::platform::gdi
