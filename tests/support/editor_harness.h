// Any editor (an AEffEditor) opened in a host window of the headless backend, on the driver's
// virtual clock: the bench of the toolkit's and the editor's tests. The effects here report
// to the recording host (recording_host.h).
#pragma once

#include "host_window.h"
#include "recording_host.h"

#include "toolkit/aeffguieditor.h"
#include "toolkit/frame.h"
#include "vst/audioeffect.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace kavet::test {

// An effect that processes nothing, with `parameters` parameters.
class TestEffect : public AudioEffect {
public:
    explicit TestEffect(VstInt32 parameters = 6, audioMasterCallback host = recordingHost)
        : AudioEffect(host, 1, parameters) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

// An editor whose frame of width x height fills the window it opens in; a derived editor
// adds its views after open().
class FrameEditor : public AEffGUIEditor {
public:
    FrameEditor(AudioEffect* effect, int width, int height);
    bool open(void* window) override;
    void close() override;
    void idle() override;

    std::function<void()> onIdle; // run before each idle pass
    int idleCalls = 0;

private:
    int width, height;
};

// Opens the effect's editor in a host window of width x height at screen (x, y), on the
// virtual clock (double-click time 500 ms); at the end closes it and deletes the effect (which
// deletes its editor), then the window.
class EditorHarness {
public:
    EditorHarness(AudioEffect* effect, int width, int height, int x = 100, int y = 100,
                  const char* className = "KavetTestHost");
    ~EditorHarness();
    EditorHarness(const EditorHarness&) = delete;
    EditorHarness& operator=(const EditorHarness&) = delete;

    HWND host() const { return window->handle(); }

private:
    AudioEffect* effect;
    std::optional<HostWindow> window;
};

// A test with an `Editor` (made from its effect, of Editor::kWidth x Editor::kHeight) open in
// the harness from SetUp to TearDown; the host calls are cleared first.
template <class Editor> class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        hostCalls().clear();
        effect = new TestEffect;
        editorObject = new Editor(effect);
        harness.emplace(effect, Editor::kWidth, Editor::kHeight);
        frame = editorObject->getFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_NE(frame->getWindow(), nullptr);
    }
    void TearDown() override { harness.reset(); } // deletes the effect and its editor
    HWND window() const { return frame->getWindow(); }

    TestEffect* effect = nullptr;
    Editor* editorObject = nullptr;
    std::optional<EditorHarness> harness;
    toolkit::CFrame* frame = nullptr;
};

} // namespace kavet::test
