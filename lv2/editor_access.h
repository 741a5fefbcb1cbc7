// The editor interface between the bundle's two modules: the DSP module's instance answers
// extension_data(kEditorAccessUri) with an EditorAccess, and the UI module, given the
// instance (instance access) and that function (data access), opens the effect's own editor
// through it. The editor so shows what the audio thread measured, every peak between two
// idles included, with the pixels of every other format. The URI names the layout: a
// change of it takes a new URI, so modules of different builds never meet. [UI thread]
#pragma once

#include <lv2/core/lv2.h>

#include <cstdint>

namespace kavet::lv2 {

inline constexpr const char* kEditorAccessUri = "urn:velmorant:kavet:editor-access:1";
// The editors (X11 UIs) of the two plug-ins, both in the one UI module.
inline constexpr const char* kStereoEditorUri = "urn:velmorant:kavet:stereo:editor";
inline constexpr const char* kMonoEditorUri = "urn:velmorant:kavet:mono:editor";

// The UI's host as the UI module was given it: the editor's values go out through it.
struct EditorPortLink {
    void* handle;
    // A control input's plain value (dB, percent, 0/1), as the UI's write function takes it.
    void (*write)(void* handle, std::uint32_t port, float value);
    // The user took (true) or let go of (false) the control of a port; null without ui:touch.
    void (*touch)(void* handle, std::uint32_t port, bool grabbed);
};

struct EditorAccess {
    // Opens the editor in the X11 window `parent`, or with `parent` 0 in a top-level window
    // of its own; answers the X11 window that shows it (a child of `parent` or of its own
    // window) and its size in pixels, or 0 when it cannot open (no display, an editor
    // already open). `link` must outlive the editor.
    std::uintptr_t (*open)(LV2_Handle instance, std::uintptr_t parent, const EditorPortLink* link,
                           int* width, int* height);
    // Input in, the editor's idle (meters, host changes), pixels out. Answers 1 once the user
    // asked to close the editor's own window, else 0.
    int (*idle)(LV2_Handle instance);
    void (*close)(LV2_Handle instance);
    // A control port's value as the host reports it to the UI.
    void (*portEvent)(LV2_Handle instance, std::uint32_t port, float value);
};

} // namespace kavet::lv2
