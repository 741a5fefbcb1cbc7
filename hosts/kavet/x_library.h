// The few Xlib functions that "kavet editor --window" needs, loaded at run time: kavet does
// not link libX11, so its other commands run where there is no X at all.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>

namespace kavet::cli {

#define KAVET_CLI_XLIB_FUNCTIONS(F)                                                                \
    F(XOpenDisplay)                                                                                \
    F(XCloseDisplay)                                                                               \
    F(XDefaultScreen)                                                                              \
    F(XRootWindow)                                                                                 \
    F(XBlackPixel)                                                                                 \
    F(XCreateSimpleWindow)                                                                         \
    F(XStoreName)                                                                                  \
    F(XInternAtom)                                                                                 \
    F(XSetWMProtocols)                                                                             \
    F(XSetWMNormalHints)                                                                           \
    F(XSelectInput)                                                                                \
    F(XMapWindow)                                                                                  \
    F(XDestroyWindow)                                                                              \
    F(XPending)                                                                                    \
    F(XNextEvent)                                                                                  \
    F(XFlush)

struct XLibrary {
#define KAVET_CLI_XLIB_POINTER(name) decltype(&::name) name = nullptr;
    KAVET_CLI_XLIB_FUNCTIONS(KAVET_CLI_XLIB_POINTER)
#undef KAVET_CLI_XLIB_POINTER
};

// libX11.so.6 with every function above, loaded on the first call and kept for the life of
// the process. Throws HostError saying why when the library or a function is missing.
const XLibrary& xLibrary();

} // namespace kavet::cli
