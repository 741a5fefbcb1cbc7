// A VST 3 host plays automation through process(): every parameter's changes arrive as the
// block's queues, one point at its start and one in mid-block, on the audio thread, while the
// user opens the editor's view, drags, clicks and types in it and closes it on the UI thread.
// The processor and controller are linked into the test, so that the editor's windows live in
// the test's Win32 layer. The ThreadSanitizer build fails on any data race between the two;
// every build checks that the view shows the automation's last values.
#include "automation.h"
#include "host_window.h"

#include "hosts/common/vst3_component_handler.h"
#include "hosts/common/vst3_parameter_changes.h"
#include "hosts/common/vst3_ref.h"
#include "hosts/common/vst3_view_frame.h"
#include "vst3plugin/controller.h"
#include "vst3plugin/processor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

namespace kavet::test {
namespace {

using namespace vst3;
using host::Edit;
using host::ParamChange;
using host::Ref;

// The automation's last values: a first row while the view is closed, none of them a
// parameter's default, then a second while it is open, each unlike the first (as for the VST
// module's test).
constexpr float kLast[][6] = {{0.625f, 0.25f, 1.0f, 1.0f, 1.0f, 0.875f},
                              {0.125f, 0.75f, 0.0f, 0.0f, 0.0f, 0.375f}};

// Processor and controller of this configuration, connected, set up and active.
struct Effect {
    Ref<vst3plugin::Processor> processor =
        Ref<vst3plugin::Processor>::adopt(vst3plugin::Processor::create());
    Ref<vst3plugin::Controller> controller =
        Ref<vst3plugin::Controller>::adopt(vst3plugin::Controller::create());
    Ref<host::RecordingHandler> handler =
        Ref<host::RecordingHandler>::adopt(new host::RecordingHandler);
    Ref<host::ParameterChanges> changes =
        Ref<host::ParameterChanges>::adopt(new host::ParameterChanges);
    std::vector<float> samples = std::vector<float>(4 * kAutomationBlockFrames, 0.5f);

    Effect() {
        processor->initialize(nullptr);
        controller->initialize(nullptr);
        processor->connect(controller.get());
        controller->connect(processor.get());
        controller->setComponentHandler(handler.get());
        ProcessSetup setup{kRealtime, kSample32, kAutomationBlockFrames, 44100.0};
        processor->setupProcessing(setup);
        processor->setActive(1);
        processor->setProcessing(1);
    }
    ~Effect() {
        processor->setProcessing(0);
        processor->setActive(0);
        controller->disconnect(processor.get());
        processor->disconnect(controller.get());
        controller->terminate();
        processor->terminate();
    }

    // [audio thread] One block with `points` as its parameter changes.
    void process(const std::vector<ParamChange>& points, int frames) {
        if (!changes->assign(points)) return;
        float* inputs[2] = {&samples[0], &samples[kAutomationBlockFrames]};
        float* outputs[2] = {&samples[2 * kAutomationBlockFrames],
                             &samples[3 * kAutomationBlockFrames]};
        AudioBusBuffers in{}, out{};
        in.numChannels = out.numChannels = kNumChannels;
        in.channelBuffers32 = inputs;
        out.channelBuffers32 = outputs;
        ProcessData data{};
        data.symbolicSampleSize = kSample32;
        data.numSamples = frames;
        data.numInputs = data.numOutputs = 1;
        data.inputs = &in;
        data.outputs = &out;
        data.inputParameterChanges = changes.get();
        processor->process(data);
    }

    Plug& plug() { return *processor->effect(); }
    const editor::PlugEd& editor() { return *static_cast<editor::PlugEd*>(plug().getEditor()); }
};

// The view in the host's window, idled by the frame's timer, as a Linux host runs it.
class ViewHost {
public:
    explicit ViewHost(Effect& fx)
        : view_(Ref<IPlugView>::adopt(fx.controller->createView("editor"))) {}
    bool open() {
        if (!view_) return false;
        view_->setFrame(frame_.get());
        if (view_->attached(window_.handle(), kPlatformTypeX11EmbedWindowID) != kResultOk)
            return false;
        idle();
        idle();
        idle();
        return true;
    }
    void idle() { frame_->tick(); }
    ~ViewHost() {
        if (!view_) return;
        view_->removed();
        view_->setFrame(nullptr);
    }

private:
    HostWindow window_{0, 0, 265, 534};
    Ref<host::ViewFrame> frame_ = Ref<host::ViewFrame>::adopt(new host::ViewFrame);
    Ref<IPlugView> view_;
};

std::vector<ParamChange> automationPoints(long block) {
    std::vector<ParamChange> points;
    for (int p = 0; p < kNumParams; ++p) {
        points.push_back({static_cast<ParamID>(p), 0, automationValue(block, p)});
        points.push_back(
            {static_cast<ParamID>(p), kAutomationBlockFrames / 2, automationValue(block + 1, p)});
    }
    return points;
}

TEST(AutomationThreads, Vst3AutomationInTheBlocksWhileTheViewOpensDragsAndCloses) {
    driver::useVirtualClock(1000);
    driver::resetInput();
    driver::setDoubleClickTime(500);
    Effect fx;
    {
        AudioThread audio(
            [&](long block) { fx.process(automationPoints(block), kAutomationBlockFrames); });
        for (int cycle = 0; cycle < kAutomationCycles; ++cycle) {
            ViewHost view(fx);
            ASSERT_TRUE(view.open());
            workTheEditor(fx.editor(), cycle);
            view.idle();
        }
        EXPECT_GE(audio.stop(), 1);
    }
    // The user's gestures reached the host: the gain typed every round and dragged in some,
    // the phase clicked.
    const auto begun = [&](ParamID id) {
        return std::count(fx.handler->edits.begin(), fx.handler->edits.end(),
                          Edit{Edit::Begin, id, 0.0, 0});
    };
    EXPECT_GT(begun(kGain), kAutomationCycles);
    EXPECT_EQ(begun(kPhase), kAutomationCycles);

    // [audio thread] The automation's last values in a block of no samples, set while the
    // view is closed, then while it is open; the view shows each at its next idle.
    std::unique_ptr<ViewHost> view;
    for (const float* row : kLast) {
        std::vector<ParamChange> last;
        for (int p = 0; p < kNumParams; ++p)
            last.push_back({static_cast<ParamID>(p), 0, row[p]});
        std::thread([&] { fx.process(last, 0); }).join();
        if (!view) {
            view = std::make_unique<ViewHost>(fx);
            ASSERT_TRUE(view->open());
        }
        view->idle();
        view->idle();
        for (int p = 0; p < kNumParams; ++p)
            EXPECT_EQ(fx.plug().getParameter(p), row[p]) << "parameter " << p;
        EXPECT_TRUE(controlsShowParameters(fx.editor(), fx.plug()));
    }
}

} // namespace
} // namespace kavet::test
