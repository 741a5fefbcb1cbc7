// The routine table that a module's `_PI_GetRoutineDescriptor` export hands the host: the
// framework's C entry points for the group and its processes (see plugin_interface.h).
#pragma once

#include "plugin_interface.h"

#include <cstdint>

namespace ptfw {

// The table for `interfaceVersion` PT_INTERFACE_VERSION; null for any other version.
const PtRoutineTable* GetRoutineDescriptor(std::int32_t interfaceVersion);

} // namespace ptfw
