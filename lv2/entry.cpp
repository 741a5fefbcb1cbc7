// The module's one export, lv2_descriptor: the plug-in of this channel configuration and
// its state interface, each entry a trampoline to the instance.
#include "editor_access.h"
#include "instance.h"

#include <cstring>

namespace kavet::lv2 {
namespace {

Instance* self(LV2_Handle handle) {
    return static_cast<Instance*>(handle);
}

// [instantiation]
LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
    return Instance::create(rate, features);
}

// [audio] A port index outside the description is ignored.
void connectPort(LV2_Handle handle, std::uint32_t port, void* data) {
    self(handle)->connect(port, data);
}

void activate(LV2_Handle handle) {
    self(handle)->activate();
}

void run(LV2_Handle handle, std::uint32_t frames) {
    self(handle)->run(frames);
}

void deactivate(LV2_Handle handle) {
    self(handle)->deactivate();
}

void cleanup(LV2_Handle handle) {
    delete self(handle);
}

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      std::uint32_t, const LV2_Feature* const*) {
    if (store == nullptr) return LV2_STATE_ERR_UNKNOWN;
    return self(handle)->save(store, state);
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, std::uint32_t, const LV2_Feature* const*) {
    if (retrieve == nullptr) return LV2_STATE_ERR_UNKNOWN;
    return self(handle)->restore(retrieve, state);
}

const LV2_State_Interface kStateInterface = {save, restore};

// The editor interface, [UI thread].
std::uintptr_t openEditor(LV2_Handle handle, std::uintptr_t parent, const EditorPortLink* link,
                          int* width, int* height) {
    if (link == nullptr || width == nullptr || height == nullptr) return 0;
    return self(handle)->openEditor(parent, *link, *width, *height);
}

int idleEditor(LV2_Handle handle) {
    return self(handle)->idleEditor() ? 1 : 0;
}

void closeEditor(LV2_Handle handle) {
    self(handle)->closeEditor();
}

void portEvent(LV2_Handle handle, std::uint32_t port, float value) {
    self(handle)->portEvent(port, value);
}

const EditorAccess kEditorAccess = {openEditor, idleEditor, closeEditor, portEvent};

// [discovery]
const void* extensionData(const char* uri) {
    if (uri == nullptr) return nullptr;
    if (std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
    if (std::strcmp(uri, kEditorAccessUri) == 0) return &kEditorAccess;
    return nullptr;
}

const LV2_Descriptor kDescriptor = {kPluginUri, instantiate, connectPort, activate,
                                    run,        deactivate,  cleanup,     extensionData};

} // namespace
} // namespace kavet::lv2

// [discovery] One plug-in per module: the core is compiled per channel configuration.
LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kavet::lv2::kDescriptor : nullptr;
}
