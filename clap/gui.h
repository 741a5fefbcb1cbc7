// The gui extension: the plug-in's editor, embedded in a window of the host's or floating in
// its own. Embedded, a host calls: is_api_supported, create, set_scale, can_resize, get_size
// (or set_size), set_parent, show; hide and show; destroy. Sizes are in the window system's
// pixels (physical on Win32 and X11).
#pragma once

#include "plugin.h"

namespace kavet::clap {

inline constexpr const char* kExtGui = "clap.gui";

// Window systems by name (Window::api).
inline constexpr const char* kWindowApiWin32 = "win32"; // an HWND
inline constexpr const char* kWindowApiCocoa = "cocoa"; // an NSView
inline constexpr const char* kWindowApiX11 = "x11";     // an X window id (XEmbed)
inline constexpr const char* kWindowApiWayland = "wayland";

struct Window {
    const char* api;
    union {
        void* cocoa;
        unsigned long x11; // an X Window
        void* win32;       // an HWND
        void* ptr;         // another system's handle
    };
};

// How the host may resize the editor by dragging.
struct GuiResizeHints {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    uint32 aspect_ratio_width;
    uint32 aspect_ratio_height;
};

// [main thread], every call; "embedded"/"floating" say for which windows a call is meant.
struct PluginGui {
    bool(KAVET_CLAP_CALL* is_api_supported)(const Plugin* plugin, const char* api,
                                            bool is_floating);
    // *api set to one of the kWindowApi constants.
    bool(KAVET_CLAP_CALL* get_preferred_api)(const Plugin* plugin, const char** api,
                                             bool* is_floating);
    bool(KAVET_CLAP_CALL* create)(const Plugin* plugin, const char* api, bool is_floating);
    void(KAVET_CLAP_CALL* destroy)(const Plugin* plugin);
    // 2 is 200 %. False: ignored (the plug-in asks the system itself) or not possible.
    bool(KAVET_CLAP_CALL* set_scale)(const Plugin* plugin, double scale);
    // After create.
    bool(KAVET_CLAP_CALL* get_size)(const Plugin* plugin, uint32* width, uint32* height);
    // Embedded.
    bool(KAVET_CLAP_CALL* can_resize)(const Plugin* plugin);
    // Embedded.
    bool(KAVET_CLAP_CALL* get_resize_hints)(const Plugin* plugin, GuiResizeHints* hints);
    // The nearest size the editor can take to the given one; changes nothing. Embedded.
    bool(KAVET_CLAP_CALL* adjust_size)(const Plugin* plugin, uint32* width, uint32* height);
    // Embedded.
    bool(KAVET_CLAP_CALL* set_size)(const Plugin* plugin, uint32 width, uint32 height);
    // Embedded.
    bool(KAVET_CLAP_CALL* set_parent)(const Plugin* plugin, const Window* window);
    // Floating: stay above `window`.
    bool(KAVET_CLAP_CALL* set_transient)(const Plugin* plugin, const Window* window);
    // Floating.
    void(KAVET_CLAP_CALL* suggest_title)(const Plugin* plugin, const char* title);
    bool(KAVET_CLAP_CALL* show)(const Plugin* plugin);
    // Hides without freeing.
    bool(KAVET_CLAP_CALL* hide)(const Plugin* plugin);
};

// [any thread], every call.
struct HostGui {
    void(KAVET_CLAP_CALL* resize_hints_changed)(const Host* host);
    // True: the host took the size (and calls no set_size for it).
    bool(KAVET_CLAP_CALL* request_resize)(const Host* host, uint32 width, uint32 height);
    bool(KAVET_CLAP_CALL* request_show)(const Host* host);
    bool(KAVET_CLAP_CALL* request_hide)(const Host* host);
    // A floating window was closed or the editor lost its window system; `was_destroyed`: the
    // host is to call PluginGui::destroy.
    void(KAVET_CLAP_CALL* closed)(const Host* host, bool was_destroyed);
};

static_assert(sizeof(Window) == 2 * sizeof(void*));
static_assert(offsetof(GuiResizeHints, aspect_ratio_width) == 4 && sizeof(GuiResizeHints) == 12);
static_assert(offsetof(PluginGui, set_parent) == 10 * sizeof(void*));
static_assert(sizeof(PluginGui) == 15 * sizeof(void*));
static_assert(sizeof(HostGui) == 5 * sizeof(void*));

} // namespace kavet::clap
