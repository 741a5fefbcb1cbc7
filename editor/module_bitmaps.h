// Makes the editor's bitmaps (ids 110 to 127) loadable from the module that contains the
// editor. Call before loading any of them; calling again changes nothing. [UI thread]
#pragma once

namespace kavet::editor {

void registerModuleBitmaps();

} // namespace kavet::editor
