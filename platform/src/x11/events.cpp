// The display's events as the layer's input: pointer, wheel, keys, focus, exposure, and the
// XEmbed messages of an embedder.
#include "x11/backend.h"

#include "user/input.h"
#include "user/keyboard.h"
#include "user/state.h"

#include <algorithm>

namespace kavet::x11 {
namespace {

using user::input::PhysicalButton;

// XEmbed messages (the _XEMBED client message's second word).
constexpr long kEmbeddedNotify = 0;
constexpr long kFocusOut = 5;

constexpr int kWheelDelta = 120;

// The proxy of `e` moves to where the X window is on the screen and becomes the top-level
// window the layer looks at first (two editors may overlap on the screen).
void placeProxy(HWND proxy, int rootX, int rootY) {
    user::State& s = user::state();
    std::lock_guard g(s.lock);
    auto w = user::findLocked(proxy);
    if (!w) return;
    const int width = user::widthOf(w->rect), height = user::heightOf(w->rect);
    w->rect = {rootX, rootY, rootX + width, rootY + height};
    if (s.topLevel.empty() || s.topLevel.back() != proxy) {
        std::erase(s.topLevel, proxy);
        s.topLevel.push_back(proxy);
    }
}

void syncModifiers(unsigned state) {
    user::input::syncModifiers((state & ShiftMask) != 0, (state & ControlMask) != 0,
                               (state & Mod1Mask) != 0);
}

} // namespace

// Server time (ms, 32 bits, wrapping) in the layer's ms: the offset between the two clocks is
// the smallest lag seen between an event's time and its arrival, since an event arrives
// after it happened.
std::uint64_t Backend::layerTime(Time serverTime) {
    const std::uint64_t now = user::nowMs();
    if (serverTime == CurrentTime) return now;
    lastServerTime_ = serverTime;
    const auto lag = static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(serverTime);
    if (!timeKnown_ || static_cast<std::int32_t>(lag - timeOffset_) < 0) {
        timeOffset_ = lag;
        timeKnown_ = true;
    }
    const std::uint32_t delay = lag - timeOffset_;
    return now >= delay ? now - delay : 0;
}

namespace {

Time serverTimeOf(const XEvent& event) {
    switch (event.type) {
    case MotionNotify:
        return event.xmotion.time;
    case ButtonPress:
    case ButtonRelease:
        return event.xbutton.time;
    case KeyPress:
    case KeyRelease:
        return event.xkey.time;
    case EnterNotify:
    case LeaveNotify:
        return event.xcrossing.time;
    default:
        return CurrentTime;
    }
}

bool isPress(const XEvent& event) {
    return event.type == ButtonPress && event.xbutton.button <= Button3;
}

} // namespace

void Backend::drainLocked() {
    ErrorTrap trap(*x_, display_);
    while (!connectionLost() && x_->XPending(display_) > 0) {
        XEvent event;
        x_->XNextEvent(display_, &event);
        // Pointer motion: only the latest of a run counts.
        if (event.type == MotionNotify) {
            while (x_->XPending(display_) > 0) {
                XEvent next;
                x_->XPeekEvent(display_, &next);
                if (next.type != MotionNotify || next.xmotion.window != event.xmotion.window) break;
                x_->XNextEvent(display_, &event);
            }
        }
        const Time server = serverTimeOf(event);
        if (server == CurrentTime)
            handleLocked(event, 0);
        else
            pending_.push_back({event, layerTime(server)});
    }
}

bool Backend::applyLocked(bool replay, bool stopAfterPress) {
    const std::uint64_t now = user::nowMs();
    while (!pending_.empty()) {
        if (replay && pending_.front().time + replayLag_ > now) return false;
        PendingInput input = pending_.front();
        pending_.pop_front();
        handleLocked(input.event, input.time);
        if (stopAfterPress && isPress(input.event)) return true;
    }
    return false;
}

std::uint64_t Backend::messageTime(std::uint64_t eventTime) const {
    return std::min(eventTime + replayLag_, user::nowMs());
}

void Backend::handleLocked(XEvent& event, std::uint64_t time) {
    if (event.type == shmCompletion_) {
        const auto& done = reinterpret_cast<const XShmCompletionEvent&>(event);
        if (Embedded* e = findByWindowLocked(done.drawable); e && e->pendingPuts > 0)
            e->pendingPuts--;
        return;
    }
    Embedded* e = findByWindowLocked(event.xany.window);
    if (!e) return;
    switch (event.type) {
    case MotionNotify:
    case ButtonPress:
    case ButtonRelease:
    case EnterNotify:
    case LeaveNotify:
        pointerLocked(*e, event, time);
        break;
    case KeyPress:
    case KeyRelease:
        keyLocked(*e, event.xkey, time);
        break;
    case FocusOut:
        if (event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer &&
            (event.xfocus.mode == NotifyNormal || event.xfocus.mode == NotifyWhileGrabbed))
            focusLostLocked(*e);
        break;
    case Expose: {
        // A window dragged across the editor exposes strip after strip: past a few, one
        // rectangle around them all costs less than many requests.
        constexpr std::size_t kExposedKept = 16;
        const RECT r{event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                     event.xexpose.y + event.xexpose.height};
        if (e->exposed.size() < kExposedKept)
            e->exposed.push_back(r);
        else
            e->exposed.back() = user::unite(e->exposed.back(), r);
        break;
    }
    case DestroyNotify:
        if (event.xdestroywindow.window == e->window) e->alive = false;
        if (event.xdestroywindow.window == e->topLevel) e->topLevel = 0;
        break;
    case ClientMessage:
        clientMessageLocked(*e, event.xclient);
        break;
    default:
        break;
    }
}

void Backend::pointerLocked(Embedded& e, const XEvent& event, std::uint64_t time) {
    int x, y, rootX, rootY;
    unsigned state;
    switch (event.type) {
    case MotionNotify:
        x = event.xmotion.x, y = event.xmotion.y, rootX = event.xmotion.x_root,
        rootY = event.xmotion.y_root, state = event.xmotion.state;
        break;
    case ButtonPress:
    case ButtonRelease:
        x = event.xbutton.x, y = event.xbutton.y, rootX = event.xbutton.x_root,
        rootY = event.xbutton.y_root, state = event.xbutton.state;
        break;
    default:
        x = event.xcrossing.x, y = event.xcrossing.y, rootX = event.xcrossing.x_root,
        rootY = event.xcrossing.y_root, state = event.xcrossing.state;
        break;
    }
    const std::uint64_t t = messageTime(time);
    placeProxy(e.proxy, rootX - x, rootY - y);
    syncModifiers(state);
    POINT cursor{};
    GetCursorPos(&cursor);
    if (cursor.x != rootX || cursor.y != rootY || event.type == MotionNotify)
        user::input::moveCursor({rootX, rootY}, t);
    if (event.type != ButtonPress && event.type != ButtonRelease) return;
    const bool down = event.type == ButtonPress;
    switch (event.xbutton.button) {
    case Button1:
        user::input::button(PhysicalButton::Left, down, t);
        break;
    case Button2:
        user::input::button(PhysicalButton::Middle, down, t);
        break;
    case Button3:
        user::input::button(PhysicalButton::Right, down, t);
        break;
    case Button4: // wheel away from the user
    case 7:       // tilted right
        if (down) user::input::wheel(kWheelDelta, t);
        break;
    case Button5: // wheel towards the user
    case 6:       // tilted left
        if (down) user::input::wheel(-kWheelDelta, t);
        break;
    default:
        break;
    }
}

void Backend::keyLocked(Embedded& e, XKeyEvent& event, std::uint64_t time) {
    const std::uint64_t t = messageTime(time);
    char text[8] = {};
    KeySym symbol = NoSymbol;
    const int length = x_->XLookupString(&event, text, sizeof text, &symbol, nullptr);
    const bool down = event.type == KeyPress;
    syncModifiers(event.state);
    const int vk = virtualKeyOf(symbol);
    const auto c = static_cast<unsigned char>(text[0]);
    const bool printable = length == 1 && c >= 0x20 && c != 0x7F;
    // The key goes in as a key when TranslateMessage makes the character the layout typed
    // from it; otherwise (another layout's place for it) the character goes in alone.
    if (vk && (!printable || user::charForKey(vk, (event.state & ShiftMask) != 0,
                                              (event.state & ControlMask) != 0,
                                              (event.state & LockMask) != 0) == text[0]))
        user::input::key(vk, down, t);
    else if (down && printable)
        user::input::character(text[0], t);
    (void)e;
}

void Backend::clientMessageLocked(Embedded& e, const XClientMessageEvent& event) {
    if (event.message_type == wmProtocols_ && event.format == 32 &&
        static_cast<Atom>(event.data.l[0]) == wmDeleteWindow_ && event.window == e.topLevel) {
        e.closeAsked = true;
        return;
    }
    if (event.message_type != xembed_ || event.format != 32) return;
    switch (event.data.l[1]) {
    case kEmbeddedNotify:
        e.embedder = static_cast<::Window>(event.data.l[3]);
        if (!e.embedder) e.embedder = e.host;
        break;
    case kFocusOut:
        focusLostLocked(e);
        break;
    default:
        break;
    }
}

// The keyboard went elsewhere: a text entry in the editor ends, as on Windows when another
// window takes the focus. Run as a message of the editor's thread, never inside a poll.
void Backend::focusLostLocked(Embedded& e) {
    e.holdsKeyboard = false;
    const HWND proxy = e.proxy;
    user::postTask(proxy, [proxy] {
        HWND focus = GetFocus();
        if (focus && IsChild(proxy, focus)) SetFocus(nullptr);
    });
}

} // namespace kavet::x11
