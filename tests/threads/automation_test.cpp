// Hosts play automation from their audio thread: setParameter for every parameter between
// blocks, while the user opens the editor, drags, clicks and types in it and closes it on the
// UI thread. The ThreadSanitizer build (build.sh) fails on any data race between the two;
// every build checks that the editor shows the automation's last values, set while it is
// closed and while it is open.
#include "automation.h"
#include "editor_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <utility>
#include <vector>

namespace kavet::test {
namespace {

// The automation's last values: a first row while the editor is closed, none of them a
// parameter's default, then a second while it is open, each unlike the first. Trim and pan
// are whole degrees of the dials' angle, which the dials give back exactly.
constexpr float kLast[][6] = {{0.625f, 0.25f, 1.0f, 1.0f, 1.0f, 0.875f},
                              {0.125f, 0.75f, 0.0f, 0.0f, 0.0f, 0.375f}};

TEST(AutomationThreads, VstAutomationOnTheAudioThreadWhileTheEditorOpensDragsAndCloses) {
    EditorHost h(false);
    AEffect* e = h.record();
    std::vector<float> samples(4 * kAutomationBlockFrames, 0.5f);
    float* inputs[2] = {&samples[0], &samples[kAutomationBlockFrames]};
    float* outputs[2] = {&samples[2 * kAutomationBlockFrames],
                         &samples[3 * kAutomationBlockFrames]};
    AudioThread audio([&](long block) {
        for (int p = 0; p < kNumParams; ++p)
            e->setParameter(e, p, automationValue(block, p));
        e->processReplacing(e, inputs, outputs, kAutomationBlockFrames);
    });
    for (int cycle = 0; cycle < kAutomationCycles; ++cycle) {
        ASSERT_TRUE(h.openEditor());
        for (int i = 0; i < 3; ++i)
            h.idle();
        workTheEditor(h.editor(), cycle);
        h.idle();
        h.closeEditor();
    }
    EXPECT_GE(audio.stop(), 1);
    // The user's gestures reached the host: the gain typed every round and dragged in some, the
    // phase clicked.
    const auto gestures = hostGestures();
    const auto begun = [&](VstInt32 index) {
        return std::count(gestures.begin(), gestures.end(),
                          std::pair<VstInt32, VstInt32>(audioMasterBeginEdit, index));
    };
    EXPECT_GT(begun(kGain), kAutomationCycles);
    EXPECT_EQ(begun(kPhase), kAutomationCycles);

    for (const float* last : kLast) {
        // [audio thread] The automation's last values, then the thread ends.
        std::thread([e, last] {
            for (int p = 0; p < kNumParams; ++p)
                e->setParameter(e, p, last[p]);
        }).join();
        if (h.frameWindow() == nullptr) {
            ASSERT_TRUE(h.openEditor());
        }
        h.idle(); // where a host's change reaches the editor
        h.idle();
        for (int p = 0; p < kNumParams; ++p)
            EXPECT_EQ(e->getParameter(e, p), last[p]) << "parameter " << p;
        EXPECT_TRUE(controlsShowParameters(h.editor(), h.plug()));
    }
}

} // namespace
} // namespace kavet::test
