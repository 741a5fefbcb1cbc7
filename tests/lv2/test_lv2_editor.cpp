// The LV2 editor in Debian's jalv, as a user meets it: embedded in jalv.gtk3's window, and in
// a window of its own when the console jalv asks for one (the show interface). It shows what
// the headless editor shows for the same state, shows a value the host sets (a preset from
// jalv's menu) at its next idles, and a click on Phase reaches the port: jalv saves it in a
// preset of the user's.
#include "jalv_host.h"
#include "tool_run.h"
#include "x11_host.h"
#include "x11_input.h"

#include "editor_scenarios.h"
#include "editor_steps.h"
#include "pixel_compare.h"

#include "core/plug.h"
#include "core/prefs.h"
#include "editor/layout.h"
#include "lv2/ports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

// After GoogleTest: Xlib's macros would break its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace kavet::test {
namespace {

using namespace std::chrono_literals;
using x11test::XWindow;

constexpr layout::Rect kPhaseSwitch = layout::rect(layout::Id::Phase);
constexpr int kPhaseX = kPhaseSwitch.left + 10, kPhaseY = kPhaseSwitch.top + 8;
// jalv.gtk3's "Presets" menu, above the editor in its window; its first entry saves a
// preset, its last applies the test's.
constexpr int kPresetsMenuX = 75, kPresetsMenuY = -13;
// Off the editor, where the pointer goes after a click.
constexpr int kOffEditorX = layout::kEditorWidth + 40, kOffEditorY = 100;

struct Connection {
    Display* display = XOpenDisplay(nullptr);
    ~Connection() {
        if (display) XCloseDisplay(display);
    }
};

bool isEditor(Display* d, XWindow w) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable) return false;
    if (a.width != layout::kEditorWidth || a.height != layout::kEditorHeight) return false;
    // The editor's window says it speaks XEmbed; a host's window of the same size does not.
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom info = XInternAtom(d, "_XEMBED_INFO", False);
    const bool has = XGetWindowProperty(d, w, info, 0, 2, False, AnyPropertyType, &type, &format,
                                        &count, &after, &data) == Success &&
                     type != None;
    if (data) XFree(data);
    return has;
}

XWindow findBelow(Display* d, XWindow w) {
    if (isEditor(d, w)) return w;
    XWindow root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XWindow found = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &count))
        for (unsigned i = 0; i < count && !found; ++i)
            found = findBelow(d, children[i]);
    if (children) XFree(children);
    return found;
}

// The editor's X window once it shows (the host may take seconds to start), else 0.
XWindow findEditor(Display* d, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    do {
        if (XWindow w = findBelow(d, DefaultRootWindow(d))) return w;
        std::this_thread::sleep_for(50ms);
    } while (std::chrono::steady_clock::now() < end);
    return 0;
}

// The top-level window titled `title` once it shows, within `timeout`; else 0.
XWindow windowShown(Display* d, const char* title, std::chrono::milliseconds timeout) {
    for (auto end = std::chrono::steady_clock::now() + timeout;
         std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(50ms)) {
        XWindow root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XWindow found = 0;
        if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count && !found; ++i) {
                char* name = nullptr;
                XWindowAttributes a{};
                if (XFetchName(d, children[i], &name) && name) {
                    if (std::strcmp(name, title) == 0 && XGetWindowAttributes(d, children[i], &a) &&
                        a.map_state == IsViewable)
                        found = children[i];
                    XFree(name);
                }
            }
        }
        if (children) XFree(children);
        if (found) return found;
    }
    return 0;
}

std::vector<x11test::Input> keys(const std::vector<unsigned long>& keysyms) {
    std::vector<x11test::Input> steps;
    for (unsigned long k : keysyms) {
        steps.push_back(x11test::keyDown(k));
        steps.push_back(x11test::keyUp(k));
        steps.push_back(x11test::wait(100));
    }
    return steps;
}

// The Presets menu opened with a click, then `key` and Return; each try waits longer for
// the menu (a loaded machine), after an Escape that closes what an earlier try left open.
std::vector<x11test::Input> menuEntry(unsigned long key, int attempt) {
    std::vector<x11test::Input> steps = keys({XK_Escape});
    for (const auto& s : {x11test::moveTo(kPresetsMenuX, kPresetsMenuY), x11test::press(),
                          x11test::release(), x11test::wait(500 * (attempt + 1))})
        steps.push_back(s);
    for (const auto& k : keys({key, XK_Return}))
        steps.push_back(k);
    return steps;
}

std::vector<x11test::Input> clickOnPhase() {
    std::vector<x11test::Input> steps = x11test::click(kPhaseX, kPhaseY);
    steps.push_back(x11test::moveTo(kOffEditorX, kOffEditorY));
    return steps;
}

// The child of the root window that holds `w`: the host's top-level window.
XWindow topLevelOf(Display* d, XWindow w) {
    for (;;) {
        XWindow root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(d, w, &root, &parent, &children, &count)) return w;
        if (children) XFree(children);
        if (parent == root || parent == 0) return w;
        w = parent;
    }
}

void clickAt(Display* d, XWindow editor, const std::vector<x11test::Input>& steps) {
    int x = 0, y = 0;
    XWindow child = 0;
    XTranslateCoordinates(d, editor, DefaultRootWindow(d), 0, 0, &x, &y, &child);
    x11test::perform(std::getenv("DISPLAY"), x, y, steps);
}

// The host idles the editor at its own rate: the pixels are compared until they match or
// five seconds have gone (some 150 idles of jalv's, room for a loaded machine).
::testing::AssertionResult showsState(Display* d, XWindow editor,
                                      const std::vector<EditorStep>& steps) {
    const driver::Image expected = renderHeadless(steps);
    ::testing::AssertionResult last = ::testing::AssertionFailure();
    for (auto end = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(50ms)) {
        last = samePixels(expected, x11test::readWindow(d, editor), "LV2");
        if (last) return last;
    }
    return last;
}

float portValue(int index, float plain) {
    return lv2::normalisedFromPort(index, plain, trimRangeDb(kDefaultPrefs.words[kPrefTrimRange]));
}

// A preset of the plug-in in a bundle of its own: gain -6 dB and Mute, as a host applies it.
void writePreset(const std::string& folder) {
    const std::string bundle = folder + "/kavet-test-preset.lv2";
    std::filesystem::create_directories(bundle);
    const std::string head = "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                             "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                             "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
    const std::string preset = "<urn:velmorant:kavet:test:preset> a pset:Preset ;\n"
                               "    lv2:appliesTo <" +
                               std::string(lv2::kPluginUri) + "> ;\n";
    std::ofstream(bundle + "/manifest.ttl")
        << head << preset << "    rdfs:seeAlso <preset.ttl> .\n";
    std::ofstream(bundle + "/preset.ttl")
        << head << preset << "    rdfs:label \"Host side\" ;\n"
        << "    lv2:port [ lv2:symbol \"gain\" ; pset:value -6.0 ] ,\n"
        << "        [ lv2:symbol \"mute\" ; pset:value 1.0 ] .\n";
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(LV2EditorInJalv, ShowsTheHeadlessPixelsTheHostsPresetAndItsOwnClick) {
    TempFolder presets, home;
    writePreset(presets / "");
    JalvHost jalv(JalvHost::Front::Gtk, lv2::kPluginUri,
                  std::string(KAVET_LV2_PATH) + ":" + (presets / ""), home / "");
    Connection x;
    ASSERT_NE(x.display, nullptr);
    const XWindow editor = findEditor(x.display, 20s);
    ASSERT_NE(editor, 0u) << jalv.printed();
    EXPECT_TRUE(showsState(x.display, editor, {idle()}));

    clickAt(x.display, editor, clickOnPhase());
    EXPECT_TRUE(showsState(x.display, editor, {setParam(kPhase, 1.0f), idle()}));

    // The host's side: the preset, the last entry of jalv's Presets menu.
    bool applied = false;
    for (int attempt = 0; attempt < 3 && !applied; ++attempt) {
        clickAt(x.display, editor, menuEntry(XK_Up, attempt));
        applied = jalv.waitFor("mute = 1.000000", 5s);
    }
    ASSERT_TRUE(applied) << jalv.printed();
    const std::vector<EditorStep> preset = {setParam(kPhase, 1.0f),
                                            setParam(kGain, portValue(kGain, -6.0f)),
                                            setParam(kMute, 1.0f), idle()};
    EXPECT_TRUE(showsState(x.display, editor, preset));
    // jalv's window with the editor in it, for people to look at (the README shows it).
    (void)driver::writePng(x11test::readWindow(x.display, topLevelOf(x.display, editor)),
                           std::string(KAVET_TEST_OUTPUT_DIR) + "/jalv-" +
                               std::string(kStereo ? "stereo" : "mono") + ".png");

    // jalv's own record of the ports: a preset saved from its menu under the name "clicked".
    XWindow dialog = 0;
    for (int attempt = 0; attempt < 3 && dialog == 0; ++attempt) {
        clickAt(x.display, editor, menuEntry(XK_Down, attempt));
        dialog = windowShown(x.display, "Save Preset", 5s);
    }
    ASSERT_NE(dialog, 0u);
    // No window manager gives it the keyboard: the test does, as a click on it would.
    XSetInputFocus(x.display, dialog, RevertToParent, CurrentTime);
    XFlush(x.display);
    std::this_thread::sleep_for(500ms);
    clickAt(x.display, editor, keys({XK_c, XK_l, XK_i, XK_c, XK_k, XK_e, XK_d}));
    // The name field may offer a completion first, which a Return takes; the next saves.
    for (int i = 0; i < 3 && windowShown(x.display, "Save Preset", 500ms) != 0; ++i)
        clickAt(x.display, editor, keys({XK_Return}));
    std::string folder = home / (std::string(kProduct) + "_clicked.preset.lv2");
    std::replace(folder.begin(), folder.end(), ' ', '_'); // jalv's file name for it
    // Whole once the plug-in's state (written after the ports) is in.
    std::string saved;
    for (auto end = std::chrono::steady_clock::now() + 10s;
         saved.find(lv2::kStateTypeUri) == std::string::npos &&
         std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(100ms))
        saved = readFile(folder + "/clicked.ttl");
    // The port values as jalv writes them, a symbol then its value.
    EXPECT_NE(saved.find("lv2:symbol \"phase\" ;\n\t\tpset:value 1.0"), std::string::npos) << saved;
    EXPECT_NE(saved.find("lv2:symbol \"mute\" ;\n\t\tpset:value 1.0"), std::string::npos);
    EXPECT_NE(saved.find("lv2:symbol \"gain\" ;\n\t\tpset:value -6.0"), std::string::npos);
}

TEST(LV2EditorInItsOwnWindow, ShowsTheHeadlessPixelsAndGoesWhenTheUserClosesIt) {
    TempFolder home;
    JalvHost jalv(JalvHost::Front::Console, lv2::kPluginUri, KAVET_LV2_PATH, home / "");
    Connection x;
    ASSERT_NE(x.display, nullptr);
    const XWindow editor = findEditor(x.display, 20s);
    ASSERT_NE(editor, 0u) << jalv.printed();
    const XWindow window = topLevelOf(x.display, editor);
    char* title = nullptr;
    ASSERT_TRUE(XFetchName(x.display, window, &title));
    EXPECT_STREQ(title, kProduct);
    XFree(title);
    EXPECT_TRUE(showsState(x.display, editor, {idle()}));

    clickAt(x.display, editor, clickOnPhase());
    EXPECT_TRUE(showsState(x.display, editor, {setParam(kPhase, 1.0f), idle()}));

    // The window manager's close: the idle reports it and jalv hides the editor.
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(x.display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(x.display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.display, window, False, NoEventMask, &close);
    XFlush(x.display);
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (findBelow(x.display, DefaultRootWindow(x.display)) != 0 &&
           std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(findBelow(x.display, DefaultRootWindow(x.display)), 0u);
    EXPECT_TRUE(jalv.interruptAndEnd(10s)) << jalv.printed();
}

} // namespace
} // namespace kavet::test
