// Where the command-line host finds the project's modules by default: in the "vst" folder
// beside the folder of the executable (<build>/bin/kavet and <build>/vst/).
#pragma once

#include <string>

namespace kavet::cli {

std::string defaultStereoModule();
std::string defaultMonoModule();

} // namespace kavet::cli
