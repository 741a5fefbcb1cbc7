// A host with one effect and its editor open in a host window (host_window.h), on the
// driver's virtual clock: every host callback is recorded (recording_host.h), the editor is
// reached through the dispatcher only, and the user's input goes through the driver.
#pragma once

#include "host_window.h"
#include "pixel_compare.h"
#include "recording_host.h"

#include "editor/pluged.h"

#include "core/plug.h"

#include <kavet/driver.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace kavet::test {

// Editor coordinates of the controls' rectangles (left, top), shared by the tests.
struct Point {
    int x, y;
};

class EditorHost {
public:
    // Opens the editor unless `open` is false; switches the mains on (resume) unless
    // `resume` is false.
    explicit EditorHost(bool open = true, bool resume = true);
    ~EditorHost();
    EditorHost(const EditorHost&) = delete;
    EditorHost& operator=(const EditorHost&) = delete;

    AEffect* record() const { return effect; }
    Plug& plug() const;
    editor::PlugEd& editor() const;
    HWND hostWindow() const { return host->handle(); }
    HWND frameWindow() const;
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    bool openEditor();
    void closeEditor();
    // effClose with the editor as it is; the host forgets the effect. Answers the dispatcher.
    VstIntPtr closeEffect();

    // One effEditIdle call, then the window's pending messages.
    void idle();
    // `frames` frames of a constant `level` on every channel through processReplacing.
    void process(float level, int frames = 512);
    toolkit::CControl* control(std::int32_t tag) const;
    // The text a value field or readout shows.
    std::string text(std::int32_t tag) const;

    // A press and release at (x, y) of the editor (with modifiers), run to the end.
    void click(int x, int y, unsigned modifiers = driver::NoModifier);
    // Press at (x0, y0), move in `steps` steps to (x1, y1) over 100 ms, release.
    void drag(int x0, int y0, int x1, int y1, int steps = 10,
              unsigned modifiers = driver::NoModifier);
    driver::Image capture() const;

    // Host calls since the last clear (audioMasterVersion and audioMasterIdle left out).
    static std::vector<HostCall>& calls() { return hostCalls(); }

private:
    std::optional<HostWindow> host;
    AEffect* effect = nullptr;
};

} // namespace kavet::test
