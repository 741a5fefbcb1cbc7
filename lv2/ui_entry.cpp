// The UI module's one export, lv2ui_descriptor: the editors of Kavet Stereo and Kavet Mono as
// X11 UIs. Each opens the effect's own editor through its instance (editor_access.h), so the
// module holds no effect code of its own. Values leave through the host's write function
// (with ui:touch around a gesture), and the host's idle calls drive the editor. [UI thread]
#include "editor_access.h"

#include <lv2/data-access/data-access.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <cstring>
#include <new>

namespace kavet::lv2 {
namespace {

struct Ui {
    LV2_Handle instance = nullptr;
    const EditorAccess* access = nullptr;
    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    LV2UI_Touch touch{};
    EditorPortLink link{};
    std::uintptr_t window = 0; // the editor's X11 window while it shows, else 0
    bool embedded = false;     // shown in the host's ui:parent (else in a window of its own)
};

Ui* self(LV2UI_Handle handle) {
    return static_cast<Ui*>(handle);
}

// The data of feature `uri`; null when absent or without data (a host may pass ui:parent
// with none to say it has no window for the UI).
const void* feature(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* f = features; f != nullptr && *f != nullptr; ++f) {
        if ((*f)->URI != nullptr && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    }
    return nullptr;
}

void writePort(void* handle, std::uint32_t port, float value) {
    Ui* ui = self(handle);
    ui->write(ui->controller, port, sizeof value, 0, &value);
}

void touchPort(void* handle, std::uint32_t port, bool grabbed) {
    Ui* ui = self(handle);
    ui->touch.touch(ui->touch.handle, port, grabbed);
}

// The effect's editor in the host's window `ui:parent`; without a parent, the editor waits
// for the show interface's show, which opens it in a window of its own. Without instance
// and data access (required by the description), or a display, there is no UI: null.
LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    const auto* instance = feature(features, LV2_INSTANCE_ACCESS_URI);
    const auto* data =
        static_cast<const LV2_Extension_Data_Feature*>(feature(features, LV2_DATA_ACCESS_URI));
    const void* parent = feature(features, LV2_UI__parent);
    if (instance == nullptr || data == nullptr || data->data_access == nullptr ||
        write == nullptr || widget == nullptr)
        return nullptr;
    const auto* access = static_cast<const EditorAccess*>(data->data_access(kEditorAccessUri));
    if (access == nullptr) return nullptr;

    auto* ui = new (std::nothrow) Ui;
    if (ui == nullptr) return nullptr;
    // The instance-access feature's data is the instance itself.
    ui->instance = const_cast<void*>(instance);
    ui->access = access;
    ui->write = write;
    ui->controller = controller;
    ui->link = {ui, writePort, nullptr};
    if (const auto* touch = static_cast<const LV2UI_Touch*>(feature(features, LV2_UI__touch));
        touch != nullptr && touch->touch != nullptr) {
        ui->touch = *touch;
        ui->link.touch = touchPort;
    }
    *widget = nullptr;
    if (parent == nullptr) return ui;
    int width = 0, height = 0;
    ui->window = access->open(ui->instance, reinterpret_cast<std::uintptr_t>(parent), &ui->link,
                              &width, &height);
    if (ui->window == 0) {
        delete ui;
        return nullptr;
    }
    ui->embedded = true;
    *widget = reinterpret_cast<LV2UI_Widget>(ui->window);
    if (const auto* resize = static_cast<const LV2UI_Resize*>(feature(features, LV2_UI__resize));
        resize != nullptr && resize->ui_resize != nullptr)
        resize->ui_resize(resize->handle, width, height);
    return ui;
}

void cleanup(LV2UI_Handle handle) {
    Ui* ui = self(handle);
    if (ui->window != 0) ui->access->close(ui->instance);
    delete ui;
}

// Control ports carry one float (format 0); anything else is not for this UI.
void portEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t size, std::uint32_t format,
               const void* buffer) {
    if (format != 0 || size != sizeof(float) || buffer == nullptr) return;
    float value;
    std::memcpy(&value, buffer, sizeof value);
    Ui* ui = self(handle);
    ui->access->portEvent(ui->instance, port, value);
}

// Non-zero once the user closed the editor's own window: the host hides it then.
int idle(LV2UI_Handle handle) {
    Ui* ui = self(handle);
    if (ui->window == 0) return 0;
    return ui->access->idle(ui->instance) != 0 && !ui->embedded ? 1 : 0;
}

// The editor in a window of its own; 0 when it shows (or showed already).
int show(LV2UI_Handle handle) {
    Ui* ui = self(handle);
    if (ui->window != 0) return 0;
    int width = 0, height = 0;
    ui->window = ui->access->open(ui->instance, 0, &ui->link, &width, &height);
    return ui->window != 0 ? 0 : 1;
}

// Closes the window of its own; an editor in the host's window stays.
int hide(LV2UI_Handle handle) {
    Ui* ui = self(handle);
    if (ui->window == 0 || ui->embedded) return 0;
    ui->access->close(ui->instance);
    ui->window = 0;
    return 0;
}

const LV2UI_Idle_Interface kIdleInterface = {idle};
const LV2UI_Show_Interface kShowInterface = {show, hide};

const void* extensionData(const char* uri) {
    if (uri == nullptr) return nullptr;
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
    if (std::strcmp(uri, LV2_UI__showInterface) == 0) return &kShowInterface;
    return nullptr;
}

const LV2UI_Descriptor kDescriptors[] = {
    {kStereoEditorUri, instantiate, cleanup, portEvent, extensionData},
    {kMonoEditorUri, instantiate, cleanup, portEvent, extensionData},
};

} // namespace
} // namespace kavet::lv2

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    constexpr auto count = sizeof kavet::lv2::kDescriptors / sizeof kavet::lv2::kDescriptors[0];
    return index < count ? &kavet::lv2::kDescriptors[index] : nullptr;
}
