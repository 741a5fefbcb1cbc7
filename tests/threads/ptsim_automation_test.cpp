// The host-format module's automation: the simulated host renders blocks and moves every
// host control between them on its audio thread (the control reaches the effect through the
// algorithm update), while the user opens the editor in the host's plug-in window, drags,
// clicks and types in it and closes it on the UI thread. The module is linked into the test
// so that its editor's windows live in the host's Win32 layer.
#include "automation.h"
#include "ptsim_linked_module.h"

#include "hosts/ptsim/pt_view_host.h"
#include "protools/template_process_rtas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <thread>
#include <vector>

namespace kavet::test {
namespace {

// The automation's last control values (controls 1 to 6): a first row while the editor is
// closed, none of them a control's default, then a second while it is open, each unlike the
// first. Trim and pan land on 0.25, 0.75 and 0.875, whole degrees of the dials' angle, which
// the dials give back exactly.
constexpr std::int32_t kLast[][6] = {{1000000000, -1073741824, 1, 1, 1, 1610612736},
                                     {-500000000, 1073741824, 0, 0, 0, -1073741824}};

// A normalised value as a control value: the whole integer scale of a continuous control,
// the steps of a discrete one.
std::int32_t controlValueOf(const PtControlInfo& info, float value) {
    if (info.continuous == 0)
        return static_cast<std::int32_t>(std::lround(value * (info.numSteps - 1)));
    return static_cast<std::int32_t>(std::lround((2.0 * value - 1.0) * 2147483647.0));
}

TEST(AutomationThreads, PtAutomationOnTheAudioThreadWhileTheEditorOpensDragsAndCloses) {
    ptsim::PtModule module(linkedStereoModule());
    ASSERT_EQ(module.open(), 0);
    {
        ptsim::PtInstance instance(module, 0, 48000);
        Plug* plug = processOf(instance)->GetEffect();
        auto& editor = *static_cast<editor::PlugEd*>(plug->getEditor());
        resetInput(1);
        driver::setDoubleClickTime(500);
        std::vector<PtControlInfo> controls;
        for (int i = 1; i <= instance.controlCount(); ++i)
            controls.push_back(instance.controlInfo(i));
        ASSERT_EQ(controls.size(), std::size(kLast[0]));

        std::vector<float> samples(4 * kAutomationBlockFrames, 0.5f);
        float* inputs[2] = {&samples[0], &samples[kAutomationBlockFrames]};
        float* outputs[2] = {&samples[2 * kAutomationBlockFrames],
                             &samples[3 * kAutomationBlockFrames]};
        AudioThread audio([&](long block) {
            for (int i = 0; i < static_cast<int>(controls.size()); ++i)
                (void)instance.setControl(i + 1,
                                          controlValueOf(controls[i], automationValue(block, i)));
            instance.render(inputs, outputs, kAutomationBlockFrames);
        });
        for (int cycle = 0; cycle < kAutomationCycles; ++cycle) {
            ptsim::PtViewHost window(instance, editor::kEditorWidth, editor::kEditorHeight);
            ASSERT_EQ(window.open(), 0);
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(window.idle(), 0);
                driver::pump();
            }
            workTheEditor(editor, cycle);
            EXPECT_EQ(window.idle(), 0);
        } // the view goes with its window: the editor closes
        EXPECT_GE(audio.stop(), 1);
        // The user's gestures reached the host: the gain typed every round and dragged in
        // some, the phase clicked.
        const auto touched = [&](std::int32_t index) {
            return std::count_if(instance.events().begin(), instance.events().end(),
                                 [&](const ptsim::HostEvent& event) {
                                     return event.kind == ptsim::HostEvent::Touched &&
                                            event.index == index;
                                 });
        };
        EXPECT_GT(touched(1), kAutomationCycles);
        EXPECT_EQ(touched(3), kAutomationCycles);

        std::optional<ptsim::PtViewHost> window;
        for (const std::int32_t* last : kLast) {
            // [audio thread] The automation's last values, then the thread ends.
            std::thread([&] {
                for (int i = 0; i < static_cast<int>(controls.size()); ++i)
                    EXPECT_EQ(instance.setControl(i + 1, last[i]), 0);
            }).join();
            if (!window) {
                window.emplace(instance, editor::kEditorWidth, editor::kEditorHeight);
                ASSERT_EQ(window->open(), 0);
            }
            EXPECT_EQ(window->idle(), 0); // where a host's change reaches the editor
            EXPECT_EQ(window->idle(), 0);
            driver::pump();
            for (int i = 0; i < static_cast<int>(controls.size()); ++i)
                EXPECT_EQ(instance.controlValue(i + 1), last[i]) << "control " << i + 1;
            EXPECT_TRUE(controlsShowParameters(editor, *plug));
        }
    }
    EXPECT_EQ(module.close(), 0);
}

} // namespace
} // namespace kavet::test
