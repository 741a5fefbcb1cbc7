// Windows builds: the resource script is linked into the module, and the system finds the
// bitmaps there by itself.
#include "module_bitmaps.h"

namespace kavet::editor {

void registerModuleBitmaps() {}

} // namespace kavet::editor
