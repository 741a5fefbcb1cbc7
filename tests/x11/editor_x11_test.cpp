// The editor in a Linux host's X11 window (Xvfb): it shows exactly what the headless backend
// draws, takes real input as the headless editor takes the driver's, speaks XEmbed to an
// embedder, and comes and goes without leaving windows, connections or memory behind.
#include "x11_host.h"

#include "editor_scenarios.h"

#include "editor_host.h"

#include "editor/layout.h"

#include <gtest/gtest.h>

#include <malloc.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <thread>

// After GoogleTest: Xlib's macros would break its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace kavet::x11test {
namespace {

using test::EditorScenario;
using test::EditorStep;

// Where the pointer goes after a click: in the host's window, off the editor.
constexpr int kOffEditorX = 350, kOffEditorY = 300;
constexpr layout::Rect kPhaseSwitch = layout::rect(layout::Id::Phase);
constexpr layout::Rect kGainField = layout::rect(layout::Id::GainValue);
constexpr layout::Rect kLogo = layout::rect(layout::Id::Options);
constexpr int kPhaseX = kPhaseSwitch.left + 10, kPhaseY = kPhaseSwitch.top + 8;
constexpr int kGainFieldX = kGainField.left + 28, kGainFieldY = kGainField.top + 7;
constexpr int kLogoX = kLogo.left + 20, kLogoY = kLogo.top + 26;
constexpr int kBackgroundX = 30, kBackgroundY = 300;
constexpr int kBallisticsVuX = 40, kBallisticsVuY = 131 + 2 * 14 + 6; // the third choice

X11Host::Options options() {
    return {KAVET_MODULE, 100, 80, false};
}

void apply(X11Host& h, const EditorStep& step) {
    test::applyStep(h, h.effect(), step, [&h](int x, int y) {
        std::vector<Input> steps = click(x, y);
        steps.push_back(moveTo(kOffEditorX, kOffEditorY));
        h.perform(steps);
    });
}

class EditorInX11Host : public ::testing::TestWithParam<EditorScenario> {};

TEST_P(EditorInX11Host, WindowPixelsEqualHeadlessRendering) {
    const EditorScenario& scenario = GetParam();
    X11Host h(options());
    ASSERT_TRUE(h.openEditor());
    for (const EditorStep& step : scenario.steps)
        apply(h, step);
    const driver::Image seen = h.capture();
    const std::string base = std::string(KAVET_TEST_OUTPUT_DIR) + "/x11-";
    // Copies to look at; the check below compares the pixels themselves.
    (void)driver::writePng(seen, base + scenario.name + ".png");
    (void)driver::writePng(h.captureHost(), base + "host-" + scenario.name + ".png");
    EXPECT_TRUE(test::samePixels(test::renderHeadless(scenario.steps), seen, "X11"));
}

INSTANTIATE_TEST_SUITE_P(Scenarios, EditorInX11Host, ::testing::ValuesIn(test::editorScenarios()),
                         [](const auto& info) { return std::string(info.param.name); });

// One colour channel of 0..255 in the bits of `mask`, rounded to the nearest level.
unsigned long inScreenFormat(std::uint32_t value, unsigned long mask) {
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const unsigned long levels = mask >> shift;
    return ((value * levels + 127) / 255) << shift;
}

// On a TrueColor screen of any depth (24 bits here; 16 in the test registered beside), the
// window holds each headless pixel in the screen's format.
TEST(EditorX11Visual, PixelsAreTheHeadlessColoursInTheScreensFormat) {
    X11Host h(options());
    ASSERT_TRUE(h.openEditor());
    const driver::Image headless = test::renderHeadless({test::idle()});
    XImage* image =
        XGetImage(h.display(), h.editorWindow(), 0, 0, static_cast<unsigned>(headless.width),
                  static_cast<unsigned>(headless.height), AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    int wrong = 0;
    for (int y = 0; y < headless.height; ++y)
        for (int x = 0; x < headless.width; ++x) {
            const std::uint32_t p = headless.rgb(x, y);
            const unsigned long expected = inScreenFormat(p >> 16, image->red_mask) |
                                           inScreenFormat((p >> 8) & 0xFF, image->green_mask) |
                                           inScreenFormat(p & 0xFF, image->blue_mask);
            wrong += XGetPixel(image, x, y) != expected;
        }
    EXPECT_EQ(wrong, 0) << "at depth " << image->depth;
    XDestroyImage(image);
}

// The logo opens the options page, and a click on a ballistics choice applies at once: the
// page and the meters show it, as on the headless editor (and unlike the page as it opened).
TEST(EditorX11Options, ChoiceAppliesAtOnce) {
    using test::operator+;
    const std::vector<EditorStep> opened =
        test::signalSteps() + std::vector{test::click(kLogoX, kLogoY), test::idle()};
    const std::vector<EditorStep> chosen =
        test::blocks(opened + std::vector{test::click(kBallisticsVuX, kBallisticsVuY)}, 0.75f, 2);
    X11Host h(options());
    ASSERT_TRUE(h.openEditor());
    for (const EditorStep& step : chosen)
        apply(h, step);
    const driver::Image seen = h.capture();
    EXPECT_TRUE(test::samePixels(test::renderHeadless(chosen), seen, "X11"));
    EXPECT_FALSE(test::samePixels(test::renderHeadless(opened), seen, "X11"));
}

// The logo lights while the pointer is over it and goes dark once the pointer has left the
// editor's window, as on the headless editor with the pointer away.
TEST(EditorX11Input, LogoHighlightGoesWhenThePointerLeaves) {
    const driver::Image away = test::renderHeadless({test::idle()});
    X11Host h(options());
    ASSERT_TRUE(h.openEditor());
    h.perform({moveTo(kLogoX, kLogoY), wait(60)});
    EXPECT_FALSE(test::samePixels(away, h.capture(), "X11")) << "no highlight over the logo";
    h.perform({moveTo(kOffEditorX, kOffEditorY), wait(60)});
    EXPECT_TRUE(test::samePixels(away, h.capture(), "X11"));
}

::Window focusOf(const X11Host& h) {
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(h.display(), &focus, &revert);
    return focus;
}

// The keyboard comes to the editor for a text entry and goes back, whether Return or a click
// elsewhere ends it, to the window that had it: the host's own, or another top-level window.
TEST(EditorX11Input, TextEntryTakesTheKeyboardAndGivesItBack) {
    const std::vector<Input> endings[] = {typeKeys({XK_Return}), click(kBackgroundX, kBackgroundY)};
    for (const bool otherWindow : {false, true})
        for (const std::vector<Input>& end : endings) {
            SCOPED_TRACE(::testing::Message() << otherWindow << ", ending " << &end - endings);
            X11Host h(options());
            ASSERT_TRUE(h.openEditor());
            Display* d = h.display();
            const ::Window owner =
                otherWindow ? XCreateSimpleWindow(d, DefaultRootWindow(d), 700, 80, 99, 99, 0, 0, 0)
                            : h.window();
            XMapWindow(d, owner);
            XSetInputFocus(d, owner, RevertToParent, CurrentTime);
            h.perform(click(kGainFieldX, kGainFieldY));
            EXPECT_EQ(focusOf(h), h.editorWindow());
            h.perform(end);
            EXPECT_EQ(focusOf(h), owner);
        }
}

// The window says it is mapped (_XEMBED_INFO), and a text entry asks the embedder that the
// embedding message named (the parent when it names none) for the keyboard, once.
TEST(EditorX11Embedding, EmbedderSeesMappedInfoAndAFocusRequest) {
    using enum X11Host::Embedder;
    for (const X11Host::Embedder named : {Parent, Apart, Unnamed}) {
        SCOPED_TRACE(static_cast<int>(named));
        X11Host h({KAVET_MODULE, 100, 80, true, named});
        ASSERT_TRUE(h.openEditor());
        const Atom info = XInternAtom(h.display(), "_XEMBED_INFO", False);
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        ASSERT_EQ(XGetWindowProperty(h.display(), h.editorWindow(), info, 0, 2, False, info, &type,
                                     &format, &count, &after, &data),
                  Success);
        const auto* words = reinterpret_cast<const long*>(data);
        EXPECT_EQ(std::vector<long>(words, words + count), (std::vector<long>{0, 1}))
            << "protocol version 0, XEMBED_MAPPED";
        XFree(data);
        h.perform(click(kGainFieldX, kGainFieldY));
        const std::vector<long>& to = h.xembedMessages[h.embedder()];
        EXPECT_EQ(std::count(to.begin(), to.end(), 3L), 1) << "XEMBED_REQUEST_FOCUS";
        EXPECT_EQ(h.xembedMessages.size(), 1u) << "messages to another window";
    }
}

long heapInUse() {
    return static_cast<long>(mallinfo2().uordblks);
}

TEST(EditorX11Lifetime, OpenCloseCyclesLeaveWindowsAndMemoryFlat) {
    X11Host h(options());
    ASSERT_TRUE(h.openEditor());
    h.closeEditor();
    const int windows = windowCount(h.display());
    const long heap = heapInUse();
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(h.openEditor()) << "cycle " << i;
        EXPECT_NE(h.editorWindow(), 0u);
        h.closeEditor();
        ASSERT_EQ(h.editorWindow(), 0u) << "cycle " << i;
    }
    EXPECT_EQ(windowCount(h.display()), windows);
    EXPECT_LT(heapInUse() - heap, 64 * 1024) << "bytes still allocated after 200 cycles";
}

TEST(EditorX11Lifetime, HostWindowDestroyedBeforeCloseThenOpenAgain) {
    X11Host h(options());
    ASSERT_TRUE(h.openEditor());
    h.destroyHostWindow();
    h.idle(3);
    h.closeEditor();
    // A new host window: the editor opens in it as before.
    X11Host again(options());
    ASSERT_TRUE(again.openEditor());
    EXPECT_NE(again.editorWindow(), 0u);
}

unsigned childCount(::Window window) {
    Display* d = XOpenDisplay(nullptr);
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, window, &root, &parent, &children, &count)) count = ~0u;
    if (children) XFree(children);
    XCloseDisplay(d);
    return count;
}

// The host's mistakes with an editor open: each takes the editor's window off the host's.
TEST(EditorX11Lifetime, EffectClosedOrModuleUnloadedWithTheEditorOpenRemovesItsWindow) {
    struct Case {
        const char* what;
        void (*mistake)(X11Host&);
        bool leaks; // the module's memory of the open editor is lost with it
    };
    const Case cases[] = {
        {"effClose",
         [](X11Host& h) {
             h.dispatch(effClose);
             h.forgetEffect();
         },
         false},
        {"module unloaded", [](X11Host& h) { h.unloadModule(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        X11Host h(options());
#if defined(__SANITIZE_ADDRESS__)
        // What the unloaded module still held is the host's loss, not a leak to report.
        std::optional<__lsan::ScopedDisabler> loss;
        if (c.leaks) loss.emplace();
#endif
        ASSERT_TRUE(h.openEditor());
        ASSERT_EQ(childCount(h.window()), 1u);
        c.mistake(h);
        EXPECT_EQ(childCount(h.window()), 0u);
    }
}

// Two editors open at once, of two modules or of two instances of one: each click reaches
// its own effect only.
TEST(EditorX11Lifetime, TwoEditorsSideBySide) {
    struct Case {
        const char* left;
        const char* right;
    } cases[] = {{KAVET_MODULE_MONO, KAVET_MODULE_STEREO}, {KAVET_MODULE, KAVET_MODULE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.left) + " beside " + c.right);
        X11Host left({c.left, 40, 40, false});
        X11Host right({c.right, 400, 40, false});
        ASSERT_TRUE(left.openEditor());
        ASSERT_TRUE(right.openEditor());
        right.perform(click(kPhaseX, kPhaseY));
        left.idle(2);
        EXPECT_EQ(right.parameter(kPhase), 1.0f);
        EXPECT_EQ(left.parameter(kPhase), 0.0f);
        left.perform(click(kPhaseX, kPhaseY));
        EXPECT_EQ(left.parameter(kPhase), 1.0f);
        EXPECT_EQ(right.parameter(kPhase), 1.0f);
    }
}

// Some hosts open, idle and close editors on a user-interface thread of their own, not the
// thread that loaded the module.
TEST(EditorX11Lifetime, EditorLivesOnAThreadOtherThanTheLoadingOne) {
    X11Host h(options());
    bool opened = false;
    std::thread ui([&] {
        opened = h.openEditor();
        if (!opened) return;
        h.perform(click(kPhaseX, kPhaseY));
        h.closeEditor();
    });
    ui.join();
    ASSERT_TRUE(opened);
    EXPECT_EQ(h.parameter(kPhase), 1.0f);
    EXPECT_EQ(h.editorWindow(), 0u);
}

TEST(EditorX11Lifetime, WithoutADisplayTheEditorRefusesAndTheEffectProcesses) {
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    X11Host h(options()); // our own window needs the display
    unsetenv("DISPLAY");
    void* id = reinterpret_cast<void*>(static_cast<std::uintptr_t>(h.window()));
    EXPECT_EQ(h.dispatch(effEditOpen, 0, 0, id), 0);
    EXPECT_EQ(h.dispatch(effEditIdle), 1);
    setenv("DISPLAY", display.c_str(), 1);
    std::vector<float> in(64, 0.5f), out(64, 0.0f);
    std::vector<float*> inputs(static_cast<std::size_t>(h.effect()->numInputs), in.data());
    std::vector<std::vector<float>> outs(static_cast<std::size_t>(h.effect()->numOutputs),
                                         std::vector<float>(64, 0.0f));
    std::vector<float*> outputs;
    for (auto& o : outs)
        outputs.push_back(o.data());
    h.effect()->processReplacing(h.effect(), inputs.data(), outputs.data(), 64);
    EXPECT_NE(outs[0][63], 0.0f);
}

} // namespace
} // namespace kavet::x11test
