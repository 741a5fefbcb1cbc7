// kavet info on a CLAP module: the entry's interface version, each plug-in the factory lists
// (id, name, vendor, version, URL, description, features), and for each the main ports and
// the parameters of a freshly made plug-in, as its params extension describes them.
#pragma once

#include <string>

namespace kavet::cli {

// Throws HostError (clap_processor.h's loadClapModule; a plug-in that cannot be made).
void printClapInfo(const std::string& path);

} // namespace kavet::cli
