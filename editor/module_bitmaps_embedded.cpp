// Builds outside Windows: the bitmaps are embedded in the module as a table, and the
// windowing layer answers the module's LoadImageA/LoadBitmapA from it.
#include "module_bitmaps.h"

#include "resources/embedded.h"

#include <kavet/module_resources.h>

namespace kavet::editor {

namespace {

bool editorBitmap(int id, const unsigned char** data, std::size_t* size) {
    const resources::Entry* entry = resources::find(id);
    if (entry == nullptr) return false;
    *data = entry->data;
    *size = entry->size;
    return true;
}

} // namespace

void registerModuleBitmaps() {
    platform::registerOwnModuleResources(&editorBitmap);
}

} // namespace kavet::editor
