#include "x11_input.h"

#include <X11/Xlib.h>

#include <X11/extensions/XTest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace kavet::x11test {

Input moveTo(int x, int y) {
    return {Input::Move, x, y, 0, 0};
}
Input press(int button) {
    return {Input::Press, button, 0, 0, 0};
}
Input release(int button) {
    return {Input::Release, button, 0, 0, 0};
}
Input keyDown(unsigned long keysym) {
    return {Input::KeyDown, 0, 0, keysym, 0};
}
Input keyUp(unsigned long keysym) {
    return {Input::KeyUp, 0, 0, keysym, 0};
}
Input wait(int ms) {
    return {Input::Wait, 0, 0, 0, ms};
}

std::vector<Input> click(int x, int y, unsigned long modifier, int button) {
    std::vector<Input> steps{moveTo(x, y), wait(40)};
    if (modifier) steps.push_back(keyDown(modifier));
    steps.insert(steps.end(), {press(button), wait(80), release(button)}); // a person's click
    if (modifier) steps.push_back(keyUp(modifier));
    steps.push_back(wait(600));
    return steps;
}

std::vector<Input> drag(int x0, int y0, int x1, int y1, unsigned long modifier) {
    std::vector<Input> steps{moveTo(x0, y0), wait(40)};
    if (modifier) steps.push_back(keyDown(modifier));
    steps.insert(steps.end(), {press(), wait(600)});
    for (int i = 1; i <= 10; ++i)
        steps.insert(steps.end(),
                     {moveTo(x0 + (x1 - x0) * i / 10, y0 + (y1 - y0) * i / 10), wait(20)});
    steps.insert(steps.end(), {wait(60), release()});
    if (modifier) steps.push_back(keyUp(modifier));
    steps.push_back(wait(100));
    return steps;
}

std::vector<Input> typeKeys(const std::vector<unsigned long>& keysyms) {
    std::vector<Input> steps;
    for (unsigned long k : keysyms)
        steps.insert(steps.end(), {keyDown(k), wait(20), keyUp(k), wait(20)});
    return steps;
}

void perform(const std::string& display, int originX, int originY,
             const std::vector<Input>& steps) {
    Display* d = XOpenDisplay(display.c_str());
    if (!d) throw std::runtime_error("cannot open X display " + display);
    for (const Input& s : steps) {
        switch (s.kind) {
        case Input::Move:
            XTestFakeMotionEvent(d, DefaultScreen(d), originX + s.x, originY + s.y, 0);
            break;
        case Input::Press:
        case Input::Release:
            XTestFakeButtonEvent(d, static_cast<unsigned>(s.x), s.kind == Input::Press, 0);
            break;
        case Input::KeyDown:
        case Input::KeyUp:
            XTestFakeKeyEvent(d, XKeysymToKeycode(d, s.key), s.kind == Input::KeyDown, 0);
            break;
        case Input::Wait:
            std::this_thread::sleep_for(std::chrono::milliseconds(s.ms));
            break;
        }
        XSync(d, False);
    }
    XCloseDisplay(d);
}

void performWhile(Display* display, XWindow window, const std::vector<Input>& steps,
                  const std::function<void()>& serve) {
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    std::atomic<bool> done{false};
    std::thread person([&] {
        perform(DisplayString(display), x, y, steps);
        done = true;
    });
    while (!done)
        serve();
    person.join();
}

} // namespace kavet::x11test
