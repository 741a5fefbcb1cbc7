// Xlib, loaded at run time. The modules never link libX11: a render server or a command
// line without X loads and processes as before, and the first editor open looks for the
// libraries (libX11, and libXext for shared memory).
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace kavet::x11 {

#define KAVET_XLIB_FUNCTIONS(F)                                                                    \
    F(XOpenDisplay)                                                                                \
    F(XCloseDisplay)                                                                               \
    F(XInternAtom)                                                                                 \
    F(XCreateWindow)                                                                               \
    F(XDestroyWindow)                                                                              \
    F(XMapWindow)                                                                                  \
    F(XUnmapWindow)                                                                                \
    F(XResizeWindow)                                                                               \
    F(XChangeProperty)                                                                             \
    F(XGetWindowAttributes)                                                                        \
    F(XTranslateCoordinates)                                                                       \
    F(XPending)                                                                                    \
    F(XNextEvent)                                                                                  \
    F(XPeekEvent)                                                                                  \
    F(XFlush)                                                                                      \
    F(XConnectionNumber)                                                                           \
    F(XSync)                                                                                       \
    F(XSetErrorHandler)                                                                            \
    F(XCreateGC)                                                                                   \
    F(XFreeGC)                                                                                     \
    F(XCreateImage)                                                                                \
    F(XPutImage)                                                                                   \
    F(XLookupString)                                                                               \
    F(XSetInputFocus)                                                                              \
    F(XGetInputFocus)                                                                              \
    F(XSendEvent)                                                                                  \
    F(XDefineCursor)                                                                               \
    F(XUndefineCursor)                                                                             \
    F(XCreateBitmapFromData)                                                                       \
    F(XCreatePixmapCursor)                                                                         \
    F(XFreePixmap)                                                                                 \
    F(XFreeCursor)                                                                                 \
    F(XWarpPointer)                                                                                \
    F(XRootWindow)                                                                                 \
    F(XDefaultScreen)                                                                              \
    F(XStoreName)                                                                                  \
    F(XSetWMProtocols)                                                                             \
    F(XSetWMNormalHints)

#define KAVET_XSHM_FUNCTIONS(F)                                                                    \
    F(XShmQueryExtension)                                                                          \
    F(XShmCreateImage)                                                                             \
    F(XShmAttach)                                                                                  \
    F(XShmDetach)                                                                                  \
    F(XShmPutImage)                                                                                \
    F(XShmGetEventBase)

struct Xlib {
#define KAVET_XLIB_POINTER(name) decltype(&::name) name = nullptr;
    KAVET_XLIB_FUNCTIONS(KAVET_XLIB_POINTER)
    KAVET_XSHM_FUNCTIONS(KAVET_XLIB_POINTER)
#undef KAVET_XLIB_POINTER
    // Since libX11 1.7: lets a lost connection return instead of ending the process.
    decltype(&::XSetIOErrorExitHandler) XSetIOErrorExitHandler = nullptr;
    bool hasShm = false; // every XShm function was found
};

// The loaded library, or null when libX11 (or one of the functions above) is missing.
// Loaded once and kept for the life of the module.
const Xlib* xlib();

} // namespace kavet::x11
