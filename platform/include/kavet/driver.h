// The driver of the layer's headless backend, for tests and tools (never for the plug-in's
// own code): a virtual clock, input applied now or scripted in time, a message pump, and
// captures of windows as RGBA images with PNG files.
//
// A typical GUI test:
//
//     using namespace kavet::driver;
//     useVirtualClock();                       // GetTickCount starts at 0
//     HWND w = CreateWindowExA(...);           // the window under test, visible
//     pump();                                  // first paint
//     Script()
//         .moveTo(w, 10, 20).press(Button::Left)           // at t = 0
//         .glide(w, 10, 20, 10, 50, 100, 10)               // 10 moves over 100 ms
//         .at(200).release(Button::Left)                   // at t = 200
//         .start();
//     run(300);                                // applies each event at its time, pumping
//     Image img = capture(w);                  // the window with its children
//     writePng(img, "after-drag.png");
//
// A control that runs a modal loop in its WM_LBUTTONDOWN handler (polling GetAsyncKeyState
// and GetCursorPos and calling Sleep or GetTickCount) sees the scripted moves and the
// release at their times: on the virtual clock, Sleep(n) advances time by n ms and each
// GetTickCount call by `msPerTickRead` ms, running every event that falls due.
//
// Time is process-wide; input goes where Windows would send it (mouse messages to the
// capture or the window under the pointer, keys to the focus window, the wheel to the
// focus window or, without one, the window under the pointer) and waits in the queue of
// the thread owning that window until that thread pumps. The asynchronous state
// (GetAsyncKeyState, GetCursorPos) changes at once.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavet::driver {

enum class Button { Left, Right, Middle }; // physical buttons
enum Modifier : unsigned { NoModifier = 0, Shift = 1, Control = 2, Alt = 4 };

// ---- Clock -----------------------------------------------------------------------------
// Switches to virtual time starting at `startMs`. Sleep(n) then advances it by n ms and
// every GetTickCount call by `msPerTickRead` ms (so loops that wait for a time end).
void useVirtualClock(DWORD startMs = 0, DWORD msPerTickRead = 1);
void useRealClock();
bool isVirtualClock();
DWORD now(); // the current time, without advancing it
// Moves time on by `ms`, applying the scripted events that fall due (no pumping).
void advance(DWORD ms);
// Moves time on by `ms` event by event, pumping the calling thread's queue after each.
void run(DWORD ms);
// Runs (as run) until no scripted event is left, or `limitMs` have passed.
void runScript(DWORD limitMs = 60000);
std::size_t pendingEvents();
void clearScript();

// ---- Input, applied now ----------------------------------------------------------------
void moveTo(HWND hwnd, int x, int y); // client coordinates of hwnd
void moveToScreen(int x, int y);
void press(Button b = Button::Left, unsigned modifiers = NoModifier); // sets the modifiers first
void release(Button b = Button::Left);
void setModifiers(unsigned modifiers); // presses and releases Shift, Control and Alt to match
void wheel(int delta);                 // WHEEL_DELTA (120) per notch, positive away from the user
void keyDown(int vk);
void keyUp(int vk);
void key(int vk, unsigned modifiers = NoModifier); // down and up, modifiers held around it
// Types `text` key by key on a US layout (Shift where needed; WM_CHAR comes from
// TranslateMessage in pump()); characters without a key arrive as WM_CHAR alone.
void typeText(std::string_view text);
void typeChar(char c); // WM_CHAR only
// A drop on `hwnd` at `client` (the pointer moves there): runs the window's registered
// IDropTarget at once when called on the window's thread, else when that thread pumps.
// False when the window has no drop target; `effect` receives the target's answer.
[[nodiscard]] bool dropFiles(HWND hwnd, POINT client, const std::vector<std::string>& paths,
                             unsigned modifiers = NoModifier, DWORD* effect = nullptr);
[[nodiscard]] bool dropText(HWND hwnd, POINT client, const std::string& text,
                            unsigned modifiers = NoModifier, DWORD* effect = nullptr);
void setSwapButtons(bool swapped); // GetSystemMetrics(SM_SWAPBUTTON)
void setDoubleClickTime(UINT ms);
// Releases every key and button (without messages), ends any capture and clears the script.
void resetInput();

// ---- Scripted input --------------------------------------------------------------------
// Events at times relative to start(); each builder call adds an event at the script's
// current time (0 at first), which at() sets and wait() moves on.
class Script {
public:
    Script& at(DWORD ms);
    Script& wait(DWORD ms);
    Script& moveTo(HWND hwnd, int x, int y);
    Script& moveToScreen(int x, int y);
    // `steps` moves from (x0, y0) to (x1, y1), evenly spread over `durationMs` and ending at
    // (x1, y1); the script's time moves on by `durationMs`.
    Script& glide(HWND hwnd, int x0, int y0, int x1, int y1, DWORD durationMs, int steps);
    Script& press(Button b = Button::Left, unsigned modifiers = NoModifier);
    Script& release(Button b = Button::Left);
    Script& modifiers(unsigned modifiers);
    Script& wheel(int delta);
    Script& keyDown(int vk);
    Script& keyUp(int vk);
    Script& key(int vk, unsigned modifiers = NoModifier);
    Script& typeText(std::string text);
    Script& dropFiles(HWND hwnd, POINT client, std::vector<std::string> paths,
                      unsigned modifiers = NoModifier);
    Script& dropText(HWND hwnd, POINT client, std::string text, unsigned modifiers = NoModifier);
    Script& call(std::function<void()> action);
    // Schedules every event at now() + its time.
    void start();

private:
    std::vector<std::pair<DWORD, std::function<void()>>> events_;
    DWORD time_ = 0;
};

// ---- Messages --------------------------------------------------------------------------
// Retrieves, translates and dispatches every message waiting for the calling thread,
// WM_PAINT included; returns how many were dispatched. A window that does not validate on
// WM_PAINT stops the pump (rather than looping for ever).
int pump();

// ---- Pixels ----------------------------------------------------------------------------
struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba; // rows top-down, 4 bytes per pixel: R, G, B, A
    // The pixel as 0xRRGGBB (alpha left out).
    std::uint32_t rgb(int x, int y) const;
};
// The client area of `hwnd` with its visible children (and theirs) drawn over it at their
// positions, clipped to their parents. Alpha is 255. Empty for an invalid window.
Image capture(HWND hwnd);
[[nodiscard]] bool writePng(const Image& image, const std::string& path);
std::optional<Image> readPng(const std::string& path);

} // namespace kavet::driver
