// kavet info on a VST 3 module: the factory's description, each class it lists (name,
// category, subcategories, vendor, version, class id), and for each audio effect class the
// buses and the parameters of a freshly made effect, as its controller describes them.
#pragma once

#include <string>

namespace kavet::cli {

// `path`: a bundle or its binary (vst3_bundle.h). Throws HostError.
void printVst3Info(const std::string& path);

} // namespace kavet::cli
