// "kavet editor --window": the module's editor in a top-level window on the user's X
// display, as a small host shows it. The effect is loaded with dlopen like any host loads
// it; a thread of its own runs the signal through it in real time (audio_loop.h), the main
// thread idles the editor and prints each parameter change the editor makes, and closing
// the window ends the command.
#pragma once

#include <string>
#include <vector>

namespace kavet::cli {

// `args` are those of "kavet editor" (with --window); `plugin` is the module to load and
// `hasPan` tells whether it is the stereo strip. Returns when the user closed the window.
// Throws UsageError or HostError.
void runEditorWindow(const std::vector<std::string>& args, const std::string& plugin, bool hasPan);

} // namespace kavet::cli
