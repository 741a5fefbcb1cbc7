// Editors shown in a host's own window. A host hands the editor a window of its window
// system (an HWND on Windows, an X11 Window id on Linux); these calls make it the parent the
// editor's frame opens in, and carry input and pixels between the window system and the
// editor while the host idles it. On Windows the system does all of it, and the calls pass
// the host's window through. UI thread (the thread that opens, idles and closes the editor).
#pragma once

#include <windows.h>

namespace kavet::hostwindow {

// The kind of window a host hands in: an HWND on Windows, an X11 Window id elsewhere.
enum class SystemWindow { hwnd, x11 };
SystemWindow systemWindowKind();

// The parent for the editor of `owner` (the effect): `system` itself when it is a window of
// this process's window manager (nothing is recorded then); otherwise a new window standing
// for the window system's window `system`, with the editor's area of `width` x `height`
// pixels shown at its top left; null when it cannot be shown (no display, no such window),
// and then nothing was created.
HWND attach(const void* owner, void* system, int width, int height);

// For hosts that show the editor in no window of theirs: a top-level window of the window
// system titled `title`, holding the editor's area of `width` x `height` pixels, which the
// user cannot resize; otherwise as attach. Null where the system's windows are the host's
// to make (Windows).
HWND attachTopLevel(const void* owner, const char* title, int width, int height);
// Whether the user asked to close the top-level window of `owner`; it stays until detach.
bool closeRequested(const void* owner);

// Shows or hides the window that shows the editor of `owner`, for hosts that ask the editor
// itself (CLAP's gui show and hide): on X11 the window made in the host's window; on Windows
// the host's window is the parent and the host shows it, so nothing is done. False when
// `owner` has no window from attach.
bool setShown(const void* owner, bool shown);

// Whether `owner` has a window from attach that has not been detached.
bool attached(const void* owner);

// The window system's window that shows the editor of `owner`: on X11 the window made as a
// child of the host's window, for hosts that take the editor as a window of their own. Null
// when `owner` has none, and where the host's window is itself the parent (Windows).
void* shownWindow(const void* owner);

// The descriptor a host's run loop watches for the window system's events, so that pump()
// runs as they arrive: the X connection's, once a window is attached. -1 where the system
// delivers them itself (Windows) or while there is no connection.
int eventDescriptor();

// For hosts that idle the editor through no call of theirs (Windows): `tick(context)` every
// `milliseconds` on the calling thread, from its message loop, until stopIdleTimer(owner).
// False where the host's own loop must call (X11: its run loop, with eventDescriptor()),
// and then nothing was started. One timer per owner.
bool startIdleTimer(const void* owner, unsigned milliseconds, void (*tick)(void*), void* context);
void stopIdleTimer(const void* owner);

// Events in: the window system's pending input goes to the windows it is meant for, and the
// calling thread's messages are dispatched (painting included). Nothing without an attached
// window.
void pump();

// Pixels out: what changed since the last time in the attached windows of the calling thread.
void present();

// After the editor of `owner` has closed: the window from attach goes, with everything it
// held. Nothing when `owner` has none.
void detach(const void* owner);

} // namespace kavet::hostwindow
