// The subset of the Win32 API that Kavet uses, for builds outside Windows. Names, types,
// constants and signatures are Win32's own, so the same sources compile against the
// system's windows.h on Windows and against this one elsewhere. Each area of the layer
// has its own header.
#pragma once

#include "win32/basetypes.h"
#include "win32/winerror.h"
#include "win32/winreg.h"

#if __has_include("win32/winbase.h")
#include "win32/winbase.h"
#endif
#if __has_include("win32/winuser.h")
#include "win32/winuser.h"
#endif
#if __has_include("win32/wingdi.h")
#include "win32/wingdi.h"
#endif
#if __has_include("win32/libloader.h")
#include "win32/libloader.h"
#endif
#if __has_include("win32/globalmem.h")
#include "win32/globalmem.h"
#endif
