// The editor in a Linux host's X11 window (Xvfb): it shows exactly what the headless backend
// draws, takes real input as the headless editor takes the driver's, speaks XEmbed to an
// embedder, and comes and goes without leaving windows, connections or memory behind.
#include "x11_host.h"

#include "editor_scenarios.h"

#include "editor_host.h"

#include "editor/layout.h"
#include "editor/nfader.h"

#include <gtest/gtest.h>

#include <malloc.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <algorithm>
#include <cmath>
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
constexpr layout::Rect kFader = layout::rect(layout::Id::Fader);
constexpr layout::Rect kPhaseSwitch = layout::rect(layout::Id::Phase);
constexpr layout::Rect kGainField = layout::rect(layout::Id::GainValue);
constexpr layout::Rect kLogo = layout::rect(layout::Id::Options);
constexpr layout::Rect kTrimDial = layout::rect(layout::Id::TrimDial);
constexpr int kCapX = kFader.left + 80; // the fader cap's column
constexpr int kPhaseX = kPhaseSwitch.left + 10, kPhaseY = kPhaseSwitch.top + 8;
constexpr int kGainFieldX = kGainField.left + 28, kGainFieldY = kGainField.top + 7;
constexpr int kBackgroundX = 30, kBackgroundY = 300;
constexpr int kLogoX = kLogo.left + 20, kLogoY = kLogo.top + 26;
constexpr int kBallisticsVuX = 40, kBallisticsVuY = 131 + 2 * 14 + 6;    // the third choice
constexpr int kTrimX = kTrimDial.left + 15, kTrimY = kTrimDial.top + 15; // the dial's centre

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

// begin(index), automate(index, ...)..., end(index), the last value the effect's.
void expectGesture(const X11Host& h, VstInt32 index) {
    ASSERT_GE(h.calls.size(), 3u);
    EXPECT_EQ(h.calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(h.calls.front().index, index);
    EXPECT_EQ(h.calls.back().opcode, audioMasterEndEdit);
    EXPECT_EQ(h.calls.back().index, index);
    for (std::size_t i = 1; i + 1 < h.calls.size(); ++i) {
        EXPECT_EQ(h.calls[i].opcode, audioMasterAutomate) << "call " << i;
        EXPECT_EQ(h.calls[i].index, index) << "call " << i;
    }
    EXPECT_EQ(h.calls[h.calls.size() - 2].opt, h.parameter(index));
}

int capMiddleY(float gain) {
    test::EditorHost headless;
    headless.record()->setParameter(headless.record(), kGain, gain);
    headless.idle();
    return kFader.top + dynamic_cast<editor::nFader*>(headless.control(kGain))->model().capRow() +
           29;
}

TEST(EditorX11Input, ClickOnPhaseAutomatesIt) {
    X11Host h(options());
    ASSERT_TRUE(h.openEditor());
    h.perform(click(kPhaseX, kPhaseY));
    expectGesture(h, kPhase);
    EXPECT_EQ(h.parameter(kPhase), 1.0f);
}

// The same gesture on the headless editor and in the X window gives the same gain. A drag
// moves the fader step by step, each step rounded; when the editor is slow, the backend
// merges a run of pointer motions into the last (as a real display does), and the steps
// round differently in the last bits. A drag's end value is therefore compared to within
// kDragRounding (a wrong drag scale, direction or modifier misses by far more: Shift's
// 30-pixel drag moves the gain by about 0.01); a click's reset exactly.
constexpr float kDragRounding = 4e-6f;

TEST(EditorX11Input, FaderDragsAndResetMatchTheHeadlessEditor) {
    struct Case {
        const char* name;
        unsigned long modifier;
        int dy;
        unsigned headlessModifiers;
        bool click;
    } cases[] = {
        {"drag 30 up", 0, -30, driver::NoModifier, false},
        {"Shift-drag 30 up", XK_Shift_L, -30, driver::Shift, false},
        {"Control-click", XK_Control_L, 0, driver::Control, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::EditorHost headless;
        headless.record()->setParameter(headless.record(), kGain, 0.75f);
        headless.idle();
        const int from = capMiddleY(0.75f);
        if (c.click)
            headless.click(kCapX, from, c.headlessModifiers);
        else
            headless.drag(kCapX, from, kCapX, from + c.dy, 10, c.headlessModifiers);
        const float expected = headless.plug().getParameter(kGain);

        X11Host h(options());
        h.effect()->setParameter(h.effect(), kGain, 0.75f);
        ASSERT_TRUE(h.openEditor());
        h.perform(c.click ? click(kCapX, from, c.modifier)
                          : drag(kCapX, from, kCapX, from + c.dy, c.modifier));
        expectGesture(h, kGain);
        if (c.click)
            EXPECT_EQ(h.parameter(kGain), expected);
        else
            EXPECT_NEAR(h.parameter(kGain), expected, kDragRounding);
        EXPECT_NE(h.parameter(kGain), 0.75f);
    }
}

// Wheel notches (buttons 4 and 5, and the tilt buttons 6 and 7) reach the editor as wheel
// turns, never as clicks: over the Phase switch they change nothing, as on the headless
// editor, where a click toggles it.
TEST(EditorX11Input, WheelButtonsAreTurnsNotClicks) {
    test::EditorHost headless;
    driver::moveTo(headless.frameWindow(), kPhaseX, kPhaseY);
    driver::wheel(120);
    driver::pump();
    ASSERT_EQ(headless.plug().getParameter(kPhase), 0.0f);
    for (int button : {4, 5, 6, 7}) {
        SCOPED_TRACE(button);
        X11Host h(options());
        ASSERT_TRUE(h.openEditor());
        h.perform({moveTo(kPhaseX, kPhaseY), wait(40), press(button), wait(20), release(button),
                   wait(40)});
        EXPECT_EQ(h.parameter(kPhase), 0.0f);
        EXPECT_TRUE(h.calls.empty());
    }
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

// Two clicks on the dial reset it when the second comes within the double-click time of the
// first (the server's click times), and not when it comes later.
TEST(EditorX11Input, DoubleClickResetsTheDialWithinTheDoubleClickTimeOnly) {
    struct Case {
        int gapMs;
        float expected;
    } cases[] = {{100, 0.5f}, {800, 0.9f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gapMs);
        X11Host h(options());
        h.effect()->setParameter(h.effect(), kTrim, 0.9f);
        ASSERT_TRUE(h.openEditor());
        // Presses of 80 ms, as a person's: the control sees the button down even when a
        // loaded machine keeps it from running for a few tens of ms.
        h.perform({moveTo(kTrimX, kTrimY), wait(40), press(), wait(80), release(), wait(c.gapMs),
                   press(), wait(80), release(), wait(100)});
        EXPECT_EQ(h.parameter(kTrim), c.expected);
    }
}

// A value typed into the Gain field: Return applies it; Escape (which the entry ignores) or a
// click elsewhere leave the gain as it was.
TEST(EditorX11Input, TypedGainAppliesWithReturnOnly) {
    const auto minus6 = static_cast<float>(std::cbrt(std::pow(10.0, -6.0 / 20.0) / 8.0));
    struct Case {
        const char* name;
        std::vector<Input> end;
        float expected;
    } cases[] = {
        {"Return", typeKeys({XK_Return}), minus6},
        {"Escape", typeKeys({XK_Escape}), 0.5f},
        {"click elsewhere", click(kBackgroundX, kBackgroundY), 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        X11Host h(options());
        ASSERT_TRUE(h.openEditor());
        std::vector<Input> steps = click(kGainFieldX, kGainFieldY);
        const std::vector<Input> typed = typeKeys({XK_minus, XK_6});
        steps.insert(steps.end(), typed.begin(), typed.end());
        steps.insert(steps.end(), c.end.begin(), c.end.end());
        h.perform(steps);
        EXPECT_NEAR(h.parameter(kGain), c.expected, 1e-6);
    }
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
