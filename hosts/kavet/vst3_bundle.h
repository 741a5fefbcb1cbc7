// VST 3 modules as --plugin names them: a bundle (a folder named *.vst3 that holds
// Contents/<architecture>/<bundle's name>.so) or the binary itself, told by its exports
// (module_kind.h).
#pragma once

#include "hosts/common/vst3_module.h"

#include <memory>
#include <string>

namespace kavet::cli {

// `text` names a folder whose name ends in ".vst3" (a trailing separator allowed).
bool namesVst3Bundle(const std::string& text);

// Loads the bundle or binary at `path`. Throws HostError, one line each: a .vst3 folder
// without Contents (no bundle), a bundle without a binary for this machine, a binary that
// does not load, refuses ModuleEntry or exports no GetPluginFactory.
std::shared_ptr<const host::Vst3Module> loadVst3Module(const std::string& path);

} // namespace kavet::cli
