// The driver's clock, input and script: thin wrappers over the window manager's input
// system (user/input.h) and the layer's clock (user/clock.h).
#include "kavet/driver.h"

#include "ole/drop_delivery.h"
#include "user/clock.h"
#include "user/input.h"
#include "user/keyboard.h"
#include "user/state.h"

#include <set>
#include <thread>

namespace kavet::driver {
namespace {

using kavet::user::input::PhysicalButton;

PhysicalButton physical(Button b) {
    return b == Button::Left    ? PhysicalButton::Left
           : b == Button::Right ? PhysicalButton::Right
                                : PhysicalButton::Middle;
}

POINT toScreen(HWND hwnd, int x, int y) {
    POINT p{x, y};
    if (hwnd) ClientToScreen(hwnd, &p);
    return p;
}

DWORD keyStateFor(unsigned modifiers) {
    DWORD k = 0;
    if (modifiers & Shift) k |= MK_SHIFT;
    if (modifiers & Control) k |= MK_CONTROL;
    if (modifiers & Alt) k |= 0x20; // MK_ALT
    return k;
}

// Runs a drop on the window's thread: now when that is the calling thread, else through
// that thread's queue.
bool drop(HWND hwnd, POINT client, unsigned modifiers, DWORD* effect,
          std::function<bool(HWND, POINT, DWORD, DWORD&)> deliver) {
    if (!IsWindow(hwnd)) return false;
    POINT screen = toScreen(hwnd, client.x, client.y);
    user::input::moveCursor(screen);
    DWORD keys = keyStateFor(modifiers);
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
        DWORD answer = 0;
        bool delivered = deliver(hwnd, screen, keys, answer);
        if (effect) *effect = answer;
        return delivered;
    }
    user::postTask(hwnd, [=] {
        DWORD answer = 0;
        deliver(hwnd, screen, keys, answer);
    });
    return true;
}

} // namespace

// ---- Clock -----------------------------------------------------------------------------

void useVirtualClock(DWORD startMs, DWORD msPerTickRead) {
    user::clock::useVirtual(startMs, msPerTickRead);
}
void useRealClock() {
    user::clock::useReal();
}
bool isVirtualClock() {
    return user::clock::isVirtual();
}
DWORD now() {
    return static_cast<DWORD>(user::clock::now());
}
void advance(DWORD ms) {
    user::clock::advanceTo(user::clock::now() + ms);
}
std::size_t pendingEvents() {
    return user::clock::pendingEvents();
}
void clearScript() {
    user::clock::clearSchedule();
}

void run(DWORD ms) {
    const std::uint64_t end = user::clock::now() + ms;
    pump();
    if (!user::clock::isVirtual()) {
        while (user::clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            user::processDueEvents();
            pump();
        }
        return;
    }
    while (user::clock::runNextDue(end))
        pump();
    user::clock::advanceTo(end);
    pump();
}

void runScript(DWORD limitMs) {
    const std::uint64_t end = user::clock::now() + limitMs;
    std::uint64_t next;
    while (user::clock::nextEvent(next) && next <= end)
        run(static_cast<DWORD>(next - user::clock::now()));
    pump();
}

// ---- Input -----------------------------------------------------------------------------

void moveTo(HWND hwnd, int x, int y) {
    user::input::moveCursor(toScreen(hwnd, x, y));
}
void moveToScreen(int x, int y) {
    user::input::moveCursor({x, y});
}

void press(Button b, unsigned modifiers) {
    setModifiers(modifiers);
    user::input::button(physical(b), true);
}

void release(Button b) {
    user::input::button(physical(b), false);
}

void setModifiers(unsigned modifiers) {
    const std::pair<unsigned, int> keys[] = {
        {Shift, VK_SHIFT}, {Control, VK_CONTROL}, {Alt, VK_MENU}};
    for (auto [flag, vk] : keys) {
        bool want = (modifiers & flag) != 0;
        bool isDown = (GetAsyncKeyState(vk) & 0x8000) != 0;
        if (want != isDown) user::input::key(vk, want);
    }
}

void wheel(int delta) {
    user::input::wheel(delta);
}
void keyDown(int vk) {
    user::input::key(vk, true);
}
void keyUp(int vk) {
    user::input::key(vk, false);
}

void key(int vk, unsigned modifiers) {
    unsigned before = 0;
    if (GetAsyncKeyState(VK_SHIFT) & 0x8000) before |= Shift;
    if (GetAsyncKeyState(VK_CONTROL) & 0x8000) before |= Control;
    if (GetAsyncKeyState(VK_MENU) & 0x8000) before |= Alt;
    setModifiers(modifiers);
    user::input::key(vk, true);
    user::input::key(vk, false);
    setModifiers(before);
}

void typeText(std::string_view text) {
    for (char c : text) {
        int vk;
        bool shift;
        if (user::keyForChar(c, vk, shift))
            key(vk, shift ? Shift : NoModifier);
        else
            user::input::character(c);
    }
}

void typeChar(char c) {
    user::input::character(c);
}

bool dropFiles(HWND hwnd, POINT client, const std::vector<std::string>& paths, unsigned modifiers,
               DWORD* effect) {
    return drop(hwnd, client, modifiers, effect, [paths](HWND h, POINT p, DWORD k, DWORD& e) {
        return kavet::platform::deliverFileDrop(h, p, k, paths, e);
    });
}

bool dropText(HWND hwnd, POINT client, const std::string& text, unsigned modifiers, DWORD* effect) {
    return drop(hwnd, client, modifiers, effect, [text](HWND h, POINT p, DWORD k, DWORD& e) {
        return kavet::platform::deliverTextDrop(h, p, k, text, e);
    });
}

void setSwapButtons(bool swapped) {
    user::input::setSwapButtons(swapped);
}
void setDoubleClickTime(UINT ms) {
    SetDoubleClickTime(ms);
}

void resetInput() {
    user::input::resetInput();
    clearScript();
}

// ---- Script ----------------------------------------------------------------------------

Script& Script::at(DWORD ms) {
    time_ = ms;
    return *this;
}

Script& Script::wait(DWORD ms) {
    time_ += ms;
    return *this;
}

Script& Script::call(std::function<void()> action) {
    events_.emplace_back(time_, std::move(action));
    return *this;
}

Script& Script::moveTo(HWND hwnd, int x, int y) {
    return call([=] { driver::moveTo(hwnd, x, y); });
}

Script& Script::moveToScreen(int x, int y) {
    return call([=] { driver::moveToScreen(x, y); });
}

Script& Script::glide(HWND hwnd, int x0, int y0, int x1, int y1, DWORD durationMs, int steps) {
    const DWORD start = time_;
    steps = std::max(steps, 1);
    for (int i = 1; i <= steps; ++i) {
        // Integer steps that end exactly on the target.
        int x = x0 + (x1 - x0) * i / steps, y = y0 + (y1 - y0) * i / steps;
        time_ = start + static_cast<DWORD>(static_cast<std::uint64_t>(durationMs) * i / steps);
        moveTo(hwnd, x, y);
    }
    time_ = start + durationMs;
    return *this;
}

Script& Script::press(Button b, unsigned mods) {
    return call([=] { driver::press(b, mods); });
}
Script& Script::release(Button b) {
    return call([=] { driver::release(b); });
}
Script& Script::modifiers(unsigned mods) {
    return call([=] { driver::setModifiers(mods); });
}
Script& Script::wheel(int delta) {
    return call([=] { driver::wheel(delta); });
}
Script& Script::keyDown(int vk) {
    return call([=] { driver::keyDown(vk); });
}
Script& Script::keyUp(int vk) {
    return call([=] { driver::keyUp(vk); });
}
Script& Script::key(int vk, unsigned mods) {
    return call([=] { driver::key(vk, mods); });
}
Script& Script::typeText(std::string text) {
    return call([text = std::move(text)] { driver::typeText(text); });
}

Script& Script::dropFiles(HWND hwnd, POINT client, std::vector<std::string> paths, unsigned mods) {
    // Scripted drops run on the window's thread when it retrieves them, as OLE's do.
    return call([=] {
        if (!IsWindow(hwnd)) return;
        POINT screen = toScreen(hwnd, client.x, client.y);
        user::input::moveCursor(screen);
        DWORD keys = keyStateFor(mods);
        user::postTask(hwnd, [=] {
            DWORD effect = 0;
            kavet::platform::deliverFileDrop(hwnd, screen, keys, paths, effect);
        });
    });
}

Script& Script::dropText(HWND hwnd, POINT client, std::string text, unsigned mods) {
    return call([=] {
        if (!IsWindow(hwnd)) return;
        POINT screen = toScreen(hwnd, client.x, client.y);
        user::input::moveCursor(screen);
        DWORD keys = keyStateFor(mods);
        user::postTask(hwnd, [=] {
            DWORD effect = 0;
            kavet::platform::deliverTextDrop(hwnd, screen, keys, text, effect);
        });
    });
}

void Script::start() {
    const std::uint64_t base = user::clock::now();
    for (auto& [t, action] : events_)
        user::clock::schedule(base + t, std::move(action));
    events_.clear();
}

// ---- Messages --------------------------------------------------------------------------

int pump() {
    int count = 0;
    std::set<HWND> painted;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) break;
        if (msg.message == WM_PAINT && !painted.insert(msg.hwnd).second) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        ++count;
    }
    return count;
}

} // namespace kavet::driver
