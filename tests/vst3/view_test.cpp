// The VST 3 editor's view in an X window of this test's own server (with-xvfb.sh), hosted
// as a Linux host does: the view created once processor and controller are connected,
// given the host's frame (whose run loop serves its timer and its X connection) and the
// window's id. Its pixels equal the headless editor's for the same steps, and the user's
// click reaches the host as an edit.
#include "vst3_fixture.h"
#include "x11_host.h"

#include "channel_buffers.h"
#include "editor_scenarios.h"

#include "editor/layout.h"
#include "hosts/common/vst3_view_frame.h"

#include <cstdint>

// After GoogleTest: Xlib's macros would break its names.
#include <X11/Xlib.h>

namespace kavet::test {
namespace {

using namespace vst3;
using x11test::XWindow;

class ViewHost {
public:
    explicit ViewHost(host::Connection connection = host::Connection::Direct)
        : module_(loadBundle()),
          fx_(std::make_unique<host::Vst3Plugin>(module_, kFacts.processorCid, connection)) {
        XInitThreads(); // the person's thread has a connection of its own
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) throw std::runtime_error("no X display");
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 60, 40,
                                      layout::kEditorWidth, layout::kEditorHeight, 0, 0, 0);
        XMapWindow(display_, window_);
        XSync(display_, False);
        if (!fx_->setup(44100.0, 4096) || !fx_->activate())
            throw std::runtime_error("the processor did not start");
    }
    ~ViewHost() {
        close();
        fx_.reset();
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }

    host::Vst3Plugin& fx() { return *fx_; }
    host::ViewFrame& frame() { return *frame_; }
    IPlugView* view() { return view_.get(); }

    // createView, setFrame, attached; then three idles, as a host's first ones.
    tresult open() {
        view_ = fx_->createView();
        if (!view_) return kResultFalse;
        view_->setFrame(frame_.get());
        const auto id = reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_));
        const tresult result = view_->attached(id, kPlatformTypeX11EmbedWindowID);
        for (int i = 0; i < 3; ++i)
            frame_->tick();
        fx_->handler().edits.clear();
        return result;
    }
    void close() {
        if (!view_) return;
        view_->removed();
        view_->setFrame(nullptr);
        view_.reset();
    }

    // A host's step: a parameter set by the host goes to the controller and, in a block of
    // no samples, to the processor; an idle is one turn of the view's timer.
    void apply(const EditorStep& step) {
        switch (step.kind) {
        case EditorStep::Set: {
            const auto id = static_cast<ParamID>(step.index);
            fx_->controller()->setParamNormalized(id, step.value);
            const host::ParamChange change{id, 0, step.value};
            process(0.0f, 0, {&change, 1});
            break;
        }
        case EditorStep::Mains:
            if (step.index != 0)
                (void)fx_->activate();
            else
                fx_->deactivate();
            break;
        case EditorStep::Process:
            process(step.value, step.frames);
            break;
        case EditorStep::Idle:
            frame_->tick();
            break;
        case EditorStep::Click:
            ADD_FAILURE() << "clicks are made by a person (XTEST)";
            break;
        }
    }

    void process(float level, int frames, std::span<const host::ParamChange> changes = {}) {
        ChannelBuffers<float> b(kNumChannels, kNumChannels, static_cast<std::size_t>(frames), level,
                                level);
        EXPECT_TRUE(fx_->process(b.inputs.data(), b.outputs.data(), frames, changes).ok);
    }

    // The editor's window: the only child of the host's.
    XWindow editorWindow() const {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XWindow found = 0;
        if (XQueryTree(display_, window_, &root, &parent, &children, &count) && count == 1)
            found = children[0];
        if (children) XFree(children);
        return found;
    }

    driver::Image capture() {
        frame_->drain();
        XSync(display_, False);
        return x11test::readWindow(display_, editorWindow());
    }

    // A person's steps from a thread of their own, while the run loop serves the view.
    void perform(const std::vector<x11test::Input>& steps) {
        x11test::performWhile(display_, window_, steps, [this] { frame_->run(20); });
        frame_->run(100);
    }

private:
    std::shared_ptr<const host::Vst3Module> module_;
    std::unique_ptr<host::Vst3Plugin> fx_;
    host::Ref<host::ViewFrame> frame_ = host::Ref<host::ViewFrame>::adopt(new host::ViewFrame);
    host::Ref<IPlugView> view_;
    Display* display_ = nullptr;
    XWindow window_ = 0;
};

class Vst3View : public Vst3Test {};

// The view's size, platform and its use of the host's run loop; it goes with nothing left
// registered, and only one view shows the editor at a time.
TEST_F(Vst3View, AttachesToAnXWindowThroughTheHostsRunLoop) {
    ViewHost h;
    ASSERT_EQ(h.open(), kResultOk);
    ViewRect size{};
    ASSERT_EQ(h.view()->getSize(&size), kResultOk);
    EXPECT_EQ(size.right - size.left, 265);
    EXPECT_EQ(size.bottom - size.top, 534);
    EXPECT_EQ(h.view()->canResize(), kResultFalse);
    EXPECT_EQ(h.view()->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
    EXPECT_NE(h.view()->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
    EXPECT_EQ(h.frame().timerCount(), 1u);
    EXPECT_EQ(h.frame().handlerCount(), 1u);
    EXPECT_NE(h.editorWindow(), 0u);
    EXPECT_TRUE(h.frame().resizeRequests.empty());
    h.close();
    EXPECT_EQ(h.frame().timerCount(), 0u);
    EXPECT_EQ(h.frame().handlerCount(), 0u);
    EXPECT_EQ(h.editorWindow(), 0u);
}

// The editor's view only: one at a time, a new one once the last is gone.
TEST_F(Vst3View, MakesOneEditorViewAtATime) {
    const auto module = loadBundle();
    const auto fx = makeEffect(module);
    IEditController* ec = fx->controller();
    struct Case {
        const char* name;
        bool made;
    } cases[] = {
        {"editor", true}, {"editor", false}, {"Editor", false}, {"", false}, {nullptr, false}};
    std::vector<host::Ref<IPlugView>> views;
    for (const Case& c : cases) {
        views.push_back(host::Ref<IPlugView>::adopt(ec->createView(c.name)));
        EXPECT_EQ(static_cast<bool>(views.back()), c.made) << (c.name ? c.name : "null");
    }
    views.clear();
    EXPECT_TRUE(fx->createView()) << "the first view is gone";
}

struct ViewCase {
    const char* name;
    std::vector<EditorStep> steps;
    host::Connection connection;
};

void PrintTo(const ViewCase& c, std::ostream* out) {
    *out << c.name;
}

class Vst3ViewPixels : public Vst3Test, public ::testing::WithParamInterface<ViewCase> {};

TEST_P(Vst3ViewPixels, EqualTheHeadlessRendering) {
    ViewHost h(GetParam().connection);
    ASSERT_EQ(h.open(), kResultOk);
    for (const EditorStep& step : GetParam().steps)
        h.apply(step);
    const driver::Image seen = h.capture();
    (void)driver::writePng(seen, std::string(KAVET_TEST_OUTPUT_DIR) + "/vst3-" + GetParam().name +
                                     ".png");
    EXPECT_TRUE(samePixels(renderHeadless(GetParam().steps), seen, "VST 3 view"));
}

// The scenarios a host makes without clicks: idle, and a signal under gain, trim and phase;
// the signal again with processor and controller connected through the host's proxies,
// where the view must still show the processing effect.
std::vector<ViewCase> viewCases() {
    std::vector<ViewCase> cases;
    for (const EditorScenario& s : editorScenarios()) {
        const std::string name = s.name;
        if (name == "JustOpened" || name == "SignalUnderGainTrimAndPhase")
            cases.push_back({s.name, s.steps, host::Connection::Direct});
        if (name == "SignalUnderGainTrimAndPhase")
            cases.push_back({"SignalThroughProxies", s.steps, host::Connection::Proxies});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, Vst3ViewPixels, ::testing::ValuesIn(viewCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A click on Phase: begin, perform with the switch's new value, end; the controller keeps
// the value.
TEST_F(Vst3View, ClickOnPhaseReachesTheHostAsAnEdit) {
    ViewHost h;
    ASSERT_EQ(h.open(), kResultOk);
    constexpr layout::Rect kPhase = layout::rect(layout::Id::Phase);
    h.perform(x11test::click(kPhase.left + 10, kPhase.top + 8));
    const std::vector<host::Edit> expected = {
        {host::Edit::Begin, static_cast<ParamID>(kavet::kPhase)},
        {host::Edit::Perform, static_cast<ParamID>(kavet::kPhase), 1.0},
        {host::Edit::End, static_cast<ParamID>(kavet::kPhase)},
    };
    EXPECT_EQ(h.fx().handler().edits, expected);
    EXPECT_EQ(h.fx().controller()->getParamNormalized(static_cast<ParamID>(kavet::kPhase)), 1.0);
}

} // namespace
} // namespace kavet::test
