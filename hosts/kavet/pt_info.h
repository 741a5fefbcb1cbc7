// kavet info on a host-format module: the plug-in group's description, its effect type and
// the host controls of a freshly inserted instance.
#pragma once

#include "pt_processor.h"

namespace kavet::cli {

void printHostFormatInfo(const PtProcessorModule& module);

} // namespace kavet::cli
