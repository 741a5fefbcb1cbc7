// Where the command-line host finds the project's modules by default: in the "vst" folder
// beside the folder of the executable (<build>/bin/kavet and <build>/vst/); and the LV2
// bundles it looks in first for a plug-in URI, in the "lv2" folder there (<build>/lv2/).
#pragma once

#include <string>

namespace kavet::cli {

std::string defaultStereoModule();
std::string defaultMonoModule();
std::string defaultLv2Folder();

} // namespace kavet::cli
