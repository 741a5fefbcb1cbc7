// Isolation of tests from the user's own settings.
#pragma once

#include <string>

namespace kavet::test {

// Points XDG_CONFIG_HOME at a new empty folder under the system's temporary folder and
// returns its path. Call again to start over with an empty registry.
std::string useFreshConfigHome();

// Removes every folder useFreshConfigHome made in this process.
void removeConfigHomes();

} // namespace kavet::test
