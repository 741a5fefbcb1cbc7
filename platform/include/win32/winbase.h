// KERNEL32 services of the layer: time, the calling thread's last error, the thread id and
// the version query. With the driver's virtual clock (kavet/driver.h) GetTickCount and
// Sleep read and advance scripted time instead of the system clock.
#pragma once

#include "basetypes.h"

#define INFINITE 0xFFFFFFFF

// Milliseconds since the layer started (or the virtual clock's time); wraps after 49.7 days.
DWORD WINAPI GetTickCount();
// Blocks the calling thread for `dwMilliseconds`; on the virtual clock, advances it instead.
void WINAPI Sleep(DWORD dwMilliseconds);

// Per-thread error code set by failing layer functions.
DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD dwErrCode);

// Small, stable per-thread number, never 0; identifies the owner of windows and queues.
DWORD WINAPI GetCurrentThreadId();

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
using POSVERSIONINFOA = OSVERSIONINFOA*;
using LPOSVERSIONINFOA = OSVERSIONINFOA*;

// Reports an NT platform (5.1, build 2600). Fails with ERROR_INSUFFICIENT_BUFFER when
// dwOSVersionInfoSize is smaller than the structure.
BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation);
