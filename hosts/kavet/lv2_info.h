// kavet info on an LV2 plug-in: for each plug-in that the bundle or URI names, what the host
// reads from its description (URI, name, author, files, version, features) and its
// ports with their ranges.
#pragma once

#include "lv2_world.h"

namespace kavet::cli {

void printLv2Info(const Lv2World& world);

} // namespace kavet::cli
