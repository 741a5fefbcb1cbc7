// The plug-in's editor in an X window of this test's own server (with-xvfb.sh), hosted as a
// Linux host does: created for the "x11" window system, parented into the host's window by
// its id, shown, idled by the host's timer and served its X connection by the host's loop.
// It hides and shows with its window; its pixels equal the headless editor's for the same
// steps; the user's click reaches the host as a gesture around the value (in a flush or a
// block, whichever the host makes first); it goes with nothing left behind, many times over.
#include "clap_fixture.h"
#include "x11_host.h"

#include "editor_scenarios.h"

#include "editor/layout.h"

#include <malloc.h>

// After GoogleTest: Xlib's macros would break its names.
#include <X11/Xlib.h>

namespace kavet::test {
namespace {

using namespace clap;
using x11test::XWindow;

class GuiHost {
public:
    GuiHost() : plugin_(loadClapModule()) {
        XInitThreads(); // the person's thread has a connection of its own
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) throw std::runtime_error("no X display");
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 60, 40,
                                      layout::kEditorWidth, layout::kEditorHeight, 0, 0, 0);
        XMapWindow(display_, window_);
        XSync(display_, False);
        if (!plugin_->activate(44100.0, 1, 4096) || !plugin_->startProcessing())
            throw std::runtime_error("the plug-in did not start");
    }
    ~GuiHost() {
        close();
        plugin_->close();
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }

    host::ClapPlugin& p() { return *plugin_; }
    Display* display() const { return display_; }

    // create, set_parent with the window's id, show (or create alone); then three turns of
    // the loop.
    bool open(bool parented = true) {
        Window window{};
        window.api = kWindowApiX11;
        window.x11 = window_;
        if (!plugin_->guiCreate(kWindowApiX11)) return false;
        if (parented && (!plugin_->guiSetParent(window) || !plugin_->guiShow())) return false;
        for (int i = 0; i < 3; ++i)
            plugin_->loop().tick();
        return true;
    }
    void close(bool parented = true) {
        if (!plugin_->guiCreated()) return;
        const bool hidden = !parented || plugin_->guiHide();
        EXPECT_TRUE(hidden);
        plugin_->guiDestroy();
        XSync(display_, False);
    }

    // A host's step: a value set by the host goes in a flush (on the audio thread, as the
    // plug-in is active); an idle is one turn of the loop.
    void apply(const EditorStep& step) {
        switch (step.kind) {
        case EditorStep::Set:
            ASSERT_TRUE(plugin_->flush(valueEvents({{static_cast<Id>(step.index), step.value}})));
            break;
        case EditorStep::Mains:
            if (step.index != 0)
                ASSERT_TRUE(plugin_->activate(44100.0, 1, 4096) && plugin_->startProcessing());
            else
                plugin_->deactivate();
            break;
        case EditorStep::Process:
            EXPECT_EQ(processLevel(*plugin_, step.value, static_cast<uint32>(step.frames)).status,
                      kProcessContinue);
            break;
        case EditorStep::Idle:
            plugin_->loop().tick();
            break;
        case EditorStep::Click:
            ADD_FAILURE() << "clicks are made by a person (XTEST)";
            break;
        }
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

    // The editor's window's map state (IsViewable, IsUnmapped), as the server has it.
    int mapState() const {
        XSync(display_, False);
        XWindowAttributes a{};
        if (!XGetWindowAttributes(display_, editorWindow(), &a)) return -1;
        return a.map_state;
    }

    driver::Image capture() {
        plugin_->loop().drain();
        XSync(display_, False);
        return x11test::readWindow(display_, editorWindow());
    }

    // A person's steps from a thread of their own, while the host's loop serves the editor.
    void perform(const std::vector<x11test::Input>& steps) {
        x11test::performWhile(display_, window_, steps, [this] { plugin_->loop().run(20); });
        plugin_->loop().run(100);
    }

private:
    TestPlugin plugin_;
    Display* display_ = nullptr;
    XWindow window_ = 0;
};

TEST(ClapGui, EmbedsInAnXWindowThroughTheHostsLoop) {
    GuiHost h;
    const PluginGui* gui = h.p().gui();
    const Plugin* plugin = h.p().plugin();
    struct Api {
        const char* api;
        bool floating, supported;
    } const apis[] = {{kWindowApiX11, false, true},
                      {kWindowApiX11, true, false},
                      {kWindowApiWin32, false, false},
                      {kWindowApiWayland, false, false},
                      {nullptr, false, false}};
    for (const Api& a : apis)
        EXPECT_EQ(gui->is_api_supported(plugin, a.api, a.floating), a.supported)
            << (a.api ? a.api : "null") << (a.floating ? " floating" : "");
    const char* api = nullptr;
    bool floating = true;
    ASSERT_TRUE(gui->get_preferred_api(plugin, &api, &floating));
    EXPECT_STREQ(api, kWindowApiX11);
    EXPECT_FALSE(floating);

    ASSERT_TRUE(h.open());
    uint32 width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    EXPECT_EQ(width, 265u);
    EXPECT_EQ(height, 534u);
    EXPECT_FALSE(gui->can_resize(plugin));
    uint32 w = 400, hgt = 300;
    EXPECT_TRUE(gui->adjust_size(plugin, &w, &hgt));
    EXPECT_EQ(w, 265u);
    EXPECT_EQ(hgt, 534u);
    EXPECT_EQ(h.p().loop().timerCount(), 1u);
    EXPECT_EQ(h.p().loop().fdCount(), 1u);
    EXPECT_GT(h.p().loop().timerCalls(), 0);
    EXPECT_NE(h.editorWindow(), 0u);
    EXPECT_TRUE(h.p().host().resizeRequests().empty());
    // hide and show: the editor's window goes from the screen and comes back.
    EXPECT_EQ(h.mapState(), IsViewable);
    ASSERT_TRUE(gui->hide(plugin));
    h.p().loop().tick();
    EXPECT_EQ(h.mapState(), IsUnmapped) << "hidden, the editor still shows";
    ASSERT_TRUE(gui->show(plugin));
    h.p().loop().tick();
    EXPECT_EQ(h.mapState(), IsViewable);
    h.close();
    EXPECT_EQ(h.p().loop().timerCount(), 0u);
    EXPECT_EQ(h.p().loop().fdCount(), 0u);
    EXPECT_EQ(h.editorWindow(), 0u);
}

class ClapGuiPixels : public ::testing::TestWithParam<EditorScenario> {};

TEST_P(ClapGuiPixels, EqualTheHeadlessRendering) {
    GuiHost h;
    ASSERT_TRUE(h.open());
    for (const EditorStep& step : GetParam().steps)
        h.apply(step);
    const driver::Image seen = h.capture();
    (void)driver::writePng(seen, std::string(KAVET_TEST_OUTPUT_DIR) + "/clap-" + GetParam().name +
                                     ".png");
    EXPECT_TRUE(samePixels(renderHeadless(GetParam().steps), seen, "CLAP editor"));
}

// The scenarios a host makes without clicks: idle, and a signal under gain, trim and phase
// with the plug-in deactivated and activated again.
std::vector<EditorScenario> pixelScenarios() {
    std::vector<EditorScenario> chosen;
    for (const EditorScenario& s : editorScenarios())
        if (std::string(s.name) == "JustOpened" ||
            std::string(s.name) == "SignalUnderGainTrimAndPhase")
            chosen.push_back(s);
    return chosen;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ClapGuiPixels, ::testing::ValuesIn(pixelScenarios()),
                         [](const auto& info) { return std::string(info.param.name); });

// A click on Phase: the host is asked for a flush, which brings the gesture around the
// switch's new value; the plug-in holds the value.
TEST(ClapGui, ClickOnPhaseReachesTheHostAsAGesture) {
    GuiHost h;
    ASSERT_TRUE(h.open());
    constexpr layout::Rect kPhaseRect = layout::rect(layout::Id::Phase);
    h.perform(x11test::click(kPhaseRect.left + 10, kPhaseRect.top + 8));
    EXPECT_GT(h.p().host().flushRequests.load(), 0);
    ASSERT_TRUE(h.p().flush(host::EventList(1, 64)));
    const auto gestureTo = [](double value) {
        return std::vector<host::ParamEvent>{{kEventParamGestureBegin, kPhase},
                                             {kEventParamValue, kPhase, value},
                                             {kEventParamGestureEnd, kPhase}};
    };
    EXPECT_EQ(host::paramEvents(h.p().outputEvents()), gestureTo(1.0));
    EXPECT_EQ(h.p().value(kPhase), 1.0);
    // Sent once: the next flush has nothing.
    ASSERT_TRUE(h.p().flush(host::EventList(1, 64)));
    EXPECT_EQ(h.p().outputEvents().size(), 0u);
    // A host that answers with its next block instead gets them from process().
    h.perform(x11test::click(kPhaseRect.left + 10, kPhaseRect.top + 8));
    EXPECT_EQ(processLevel(h.p(), 0.5f, 64).status, kProcessContinue);
    EXPECT_EQ(host::paramEvents(h.p().outputEvents()), gestureTo(0.0));
    EXPECT_EQ(h.p().value(kPhase), 0.0);
}

// Created and destroyed again and again, parented or not: no window, timer, descriptor or
// memory left behind.
TEST(ClapGui, OpensAndClosesManyTimesLeavingNothing) {
    GuiHost h;
    const int windows = x11test::windowCount(h.display());
    std::size_t heapAfterWarmUp = 0;
    constexpr int kCycles = 20, kWarmUp = 5;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        // Every third editor is destroyed before it has a window.
        const bool parented = cycle % 3 != 0;
        ASSERT_TRUE(h.open(parented));
        EXPECT_EQ(h.editorWindow() != 0, parented);
        h.apply(process(0.5f, 512));
        h.apply(idle());
        h.close(parented);
        EXPECT_EQ(h.p().loop().timerCount(), 0u);
        EXPECT_EQ(h.p().loop().fdCount(), 0u);
        EXPECT_EQ(x11test::windowCount(h.display()), windows);
        if (cycle == kWarmUp) heapAfterWarmUp = mallinfo2().uordblks;
    }
    // An editor left behind each time would hold its frame and offscreen bitmaps (over
    // 500 kB); a few kilobytes of the allocator's own may come and go.
    const std::size_t heap = mallinfo2().uordblks;
    EXPECT_LT(heap, heapAfterWarmUp + 64 * 1024)
        << "the heap grew by " << heap - heapAfterWarmUp << " bytes over " << kCycles - kWarmUp
        << " cycles";
}

} // namespace
} // namespace kavet::test
