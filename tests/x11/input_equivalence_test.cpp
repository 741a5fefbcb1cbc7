// One table of input as a person gives it (x11_input.h's steps), delivered through XTEST to
// the module's editor in an X11 host and, translated, through the headless driver to the
// editor linked in: parameters, edit gestures, pixels and wheel turns must be the same.
#include "x11_host.h"

#include "editor_host.h"
#include "editor_scenarios.h"

#include "core/config.h"
#include "editor/layout.h"
#include "pixels/fader_law.h"

#include <kavet/host_window.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

// After GoogleTest: Xlib's macros would break its names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace kavet::x11test {
namespace {

struct Row {
    std::string name;
    std::vector<Input> steps;
    bool drag = false;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

// The keys of the rows: their characters in typed(), their X key symbols and their virtual
// keys; the last three are Shift, Control and Alt (driver::Modifier 1, 2, 4). A digit is its
// own character, key symbol and virtual key.
constexpr std::string_view kChars = "-.\b\x7f<>^$\r\x1b";
constexpr unsigned long kSymbols[] = {XK_minus,   XK_period,    XK_BackSpace, XK_Delete, XK_Left,
                                      XK_Right,   XK_Home,      XK_End,       XK_Return, XK_Escape,
                                      XK_Shift_L, XK_Control_L, XK_Alt_L};
constexpr int kVirtualKeys[] = {VK_OEM_MINUS, VK_OEM_PERIOD, VK_BACK, VK_DELETE, VK_LEFT,
                                VK_RIGHT,     VK_HOME,       VK_END,  VK_RETURN, VK_ESCAPE,
                                VK_SHIFT,     VK_CONTROL,    VK_MENU};
// Where each row starts: gain, trim and pan off their defaults, so that a reset shows.
constexpr float kStart[] = {0.75f, 0.9f, 0.0f, 0.0f, 0.0f, 0.2f};

std::vector<Input> operator+(std::vector<Input> steps, const std::vector<Input>& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

std::vector<Row> rows() {
    using layout::Id, layout::rect;
    const int capY = rect(Id::Fader).top + editor::FaderModel(kStart[kGain]).capRow() + 29;
    const std::tuple<const char*, int, int> fader{"Fader", rect(Id::Fader).left + 80, capY},
        trim{"Trim", rect(Id::TrimDial).left + 15, rect(Id::TrimDial).top + 15},
        pan{"Pan", rect(Id::PanDial).left + 15, rect(Id::PanDial).top + 15};
    const char* buttons[] = {"", "Left", "Middle", "Right"};
    const std::pair<const char*, unsigned long> modifiers[] = {
        {"", 0}, {"Shift", XK_Shift_L}, {"Control", XK_Control_L}, {"Alt", XK_Alt_L}};
    std::vector<Row> r;
    for (const auto& [name, x, y] : {fader, trim})
        for (int b = 1; b <= 3; ++b)
            for (const auto& [held, key] : modifiers)
                r.push_back({std::string(held) + buttons[b] + "Click" + name, click(x, y, key, b)});
    for (int b = 1; b <= 3; ++b)
        r.push_back({std::string(buttons[b]) + "ClickPhase",
                     click(rect(Id::Phase).left + 10, rect(Id::Phase).top + 8, 0, b)});
    const auto [_, trimX, trimY] = trim;
    for (int gap : {100, 800}) // the second press 100 or 800 ms after the first release
        r.push_back({"DoubleClickTrim" + std::to_string(gap) + "ms",
                     {moveTo(trimX, trimY), wait(40), press(), wait(80), release(), wait(gap),
                      press(), wait(80), release(), wait(600)}});
    const int capX = std::get<1>(fader);
    r.push_back({"DragFader", drag(capX, capY, capX, capY - 30), true});
    r.push_back({"ShiftDragFader", drag(capX, capY, capX, capY - 30, XK_Shift_L), true});
    for (const auto& [name, x, y] :
         kStereo ? std::vector{fader, trim, pan} : std::vector{fader, trim})
        for (int b = 4; b <= 7; ++b)
            r.push_back({"Wheel" + std::to_string(b) + name,
                         {moveTo(x, y), wait(40), press(b), wait(20), release(b), wait(40)}});
    // Typed into the Gain field (its text selected as it opens), with \b Backspace, \x7f
    // Delete, < Left, > Right, ^ Home, $ End. Each result tells a slip apart: Backspace as
    // Delete keeps "-125", Delete as Backspace gives "-25", Left as Right or Home as End
    // put the point elsewhere.
    const auto typed = [](std::string_view keys) {
        std::vector<unsigned long> symbols;
        for (char k : keys)
            symbols.push_back(kChars.find(k) < kChars.size() ? kSymbols[kChars.find(k)] : k);
        return click(rect(Id::GainValue).left + 28, rect(Id::GainValue).top + 7) +
               typeKeys(symbols);
    };
    const std::pair<const char*, const char*> entries[] = {{"BackspaceReturn", "-125\b\r"},
                                                           {"LeftDeleteReturn", "-125<<\x7f\r"},
                                                           {"HomeEndReturn", "6^-$.5\r"},
                                                           {"HomeRightReturn", "-12^>>.\r"},
                                                           {"Escape", "-3\x1b"}};
    for (const auto& [name, keys] : entries)
        r.push_back({std::string("TypedGain") + name, typed(keys)});
    r.push_back({"TypedGainClickElsewhere", typed("-3") + click(30, 300)});
    return r;
}

// What a row left behind: the parameters, the host's calls, the editor's pixels (the pointer
// off it) and the wheel turns the layer received.
struct Seen {
    std::vector<float> parameters;
    std::vector<HostCall> calls;
    driver::Image pixels;
    std::vector<int> turns;
};

std::vector<float> parameters(AEffect* effect) {
    std::vector<float> values;
    for (int i = 0; i < kNumParams; ++i)
        values.push_back(effect->getParameter(effect, i));
    return values;
}

std::vector<int> g_turns;

LRESULT CALLBACK recordTurn(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && wParam == WM_MOUSEWHEEL)
        g_turns.push_back(static_cast<short>(
            HIWORD(reinterpret_cast<const MOUSEHOOKSTRUCTEX*>(lParam)->mouseData)));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Records in g_turns the wheel turns this thread's windows receive while it lives.
struct TurnRecorder {
    HHOOK hook = SetWindowsHookExA(WH_MOUSE, recordTurn, nullptr, GetCurrentThreadId());
    TurnRecorder() { g_turns.clear(); }
    ~TurnRecorder() { UnhookWindowsHookEx(hook); }
};

// The steps as a driver script: buttons 1 to 3 are the left, middle and right buttons; 4 and
// 7 a wheel notch away from the user (7: tilted right), 5 and 6 one towards the user.
driver::Script script(HWND window, const std::vector<Input>& steps) {
    const driver::Button buttons[] = {
        {}, driver::Button::Left, driver::Button::Middle, driver::Button::Right};
    driver::Script s;
    unsigned held = 0;
    for (const Input& i : steps) {
        const auto k = std::ranges::find(kSymbols, i.key) - std::begin(kSymbols);
        const unsigned modifier = k >= 10 && k < 13 ? 1u << (k - 10) : 0;
        const int vk = k < 13 ? kVirtualKeys[k] : static_cast<int>(i.key); // a digit
        if (i.kind == Input::Move) s.moveTo(window, i.x, i.y);
        if (i.kind == Input::Wait) s.wait(static_cast<DWORD>(i.ms));
        if (i.kind == Input::Press && i.x <= 3) s.press(buttons[i.x], held);
        if (i.kind == Input::Release && i.x <= 3) s.release(buttons[i.x]);
        if (i.kind == Input::Press && i.x > 3)
            s.wheel(i.x == 4 || i.x == 7 ? WHEEL_DELTA : -WHEEL_DELTA);
        if (i.kind == Input::KeyDown) modifier ? s.modifiers(held |= modifier) : s.keyDown(vk);
        if (i.kind == Input::KeyUp) modifier ? s.modifiers(held &= ~modifier) : s.keyUp(vk);
    }
    return s.moveToScreen(test::kOffWindowX, test::kOffWindowY);
}

Seen throughDriver(const Row& row) {
    test::EditorHost h;
    for (int i = 0; i < kNumParams; ++i)
        h.record()->setParameter(h.record(), i, kStart[i]);
    h.idle();
    test::EditorHost::calls().clear();
    TurnRecorder turns;
    script(h.frameWindow(), row.steps).start();
    driver::runScript();
    for (int i = 0; i < 5; ++i) // as the X11 host idles after the input
        h.idle();
    return {parameters(h.record()), test::EditorHost::calls(), h.capture(), g_turns};
}

// The wheel turns that `steps` make in a window of this process's own layer, shown in an X
// window at (600, 80): the module's layer cannot be watched, and the editor's controls take
// no wheel turns.
std::vector<int> turnsThroughX(const std::vector<Input>& steps) {
    driver::useRealClock();
    Display* d = XOpenDisplay(nullptr);
    const ::Window host = XCreateSimpleWindow(d, DefaultRootWindow(d), 600, 80,
                                              layout::kEditorWidth, layout::kEditorHeight, 0, 0, 0);
    XMapWindow(d, host);
    XSync(d, False);
    hostwindow::attach(d, reinterpret_cast<void*>(host), layout::kEditorWidth,
                       layout::kEditorHeight);
    TurnRecorder turns;
    const auto serve = [] {
        hostwindow::pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    performWhile(d, host, steps, serve);
    for (int i = 0; i < 5; ++i) // as X11Host::perform
        serve();
    hostwindow::detach(d);
    XDestroyWindow(d, host);
    XCloseDisplay(d);
    return g_turns;
}

Seen throughX(const Row& row) {
    X11Host h({KAVET_MODULE, 100, 80, false});
    if (!h.openEditor()) return {};
    for (int i = 0; i < kNumParams; ++i)
        h.effect()->setParameter(h.effect(), i, kStart[i]);
    h.idle(2);
    h.calls.clear();
    h.perform(row.steps + std::vector{moveTo(350, 300)}); // off the editor, in the host's window
    const bool wheel =
        std::ranges::any_of(row.steps, [](auto& i) { return i.kind == Input::Press && i.x > 3; });
    return {parameters(h.effect()), h.calls, h.capture(),
            wheel ? turnsThroughX(row.steps) : std::vector<int>{}};
}

// A drag moves the fader step by step, each step rounded; when the editor is slow, the X
// backend merges a run of pointer motions into the last (as a real display does), and the
// steps round differently in the last bits. A drag's values are therefore compared to within
// kDragRounding (a wrong drag scale, direction or modifier misses by far more: Shift's
// 30-pixel drag moves the gain by about 0.01), its run of automation as one, and its pixels
// only when it rounded the same (the readout's last digit may differ).
constexpr float kDragRounding = 4e-6f;

// The edit gestures (opcode, index, value) among the host's calls.
std::vector<std::tuple<VstInt32, VstInt32, float>> gestures(const Seen& seen, bool drag) {
    std::vector<std::tuple<VstInt32, VstInt32, float>> kept;
    for (const HostCall& c : seen.calls) {
        const bool run = drag && c.opcode == audioMasterAutomate;
        if ((c.opcode == audioMasterBeginEdit || c.opcode == audioMasterEndEdit ||
             c.opcode == audioMasterAutomate) &&
            !(run && !kept.empty() && std::get<0>(kept.back()) == audioMasterAutomate))
            kept.emplace_back(c.opcode, c.index, run ? 0.0f : c.opt);
    }
    return kept;
}

class InputEquivalence : public ::testing::TestWithParam<Row> {};

TEST_P(InputEquivalence, X11EditorEndsAsTheHeadlessEditor) {
    const Row& row = GetParam();
    const Seen x = throughX(row), headless = throughDriver(row);
    ASSERT_EQ(x.parameters.size(), headless.parameters.size()) << "the editor did not open";
    for (int i = 0; i < kNumParams; ++i)
        EXPECT_NEAR(x.parameters[i], headless.parameters[i], row.drag ? kDragRounding : 0.0f)
            << "parameter " << i;
    EXPECT_EQ(gestures(x, row.drag), gestures(headless, row.drag)) << "(opcode, index, value)";
    if (x.parameters == headless.parameters) {
        EXPECT_TRUE(test::samePixels(headless.pixels, x.pixels, "X11"));
    }
    EXPECT_EQ(x.turns, headless.turns) << "wheel turns (WHEEL_DELTA, away from the user > 0)";
}

INSTANTIATE_TEST_SUITE_P(Rows, InputEquivalence, ::testing::ValuesIn(rows()),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace kavet::x11test
