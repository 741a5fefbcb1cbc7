# Toolchain for Windows with Debian's MinGW-w64 cross compilers, 32-bit (g++-mingw-w64-i686)
# or 64-bit (g++-mingw-w64-x86-64):
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake -DKAVET_MINGW_ARCH=i686|x86_64 ...
#
# The modules and programs it builds need no DLL beyond the system's: libgcc, libstdc++
# and the thread support are linked statically. The "win32" thread model (the default
# here) has no thread library at all; "posix" would bring in winpthreads, linked
# statically too by -static.

set(KAVET_MINGW_ARCH i686 CACHE STRING "Windows processor of the MinGW build (i686 or x86_64)")
set_property(CACHE KAVET_MINGW_ARCH PROPERTY STRINGS i686 x86_64)
if(NOT KAVET_MINGW_ARCH MATCHES "^(i686|x86_64)$")
    message(FATAL_ERROR "KAVET_MINGW_ARCH is \"${KAVET_MINGW_ARCH}\": i686 or x86_64")
endif()
set(KAVET_MINGW_THREADS win32 CACHE STRING "Thread model of the MinGW compilers (win32 or posix)")
set_property(CACHE KAVET_MINGW_THREADS PROPERTY STRINGS win32 posix)
# try_compile projects read this file again: they need both choices.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KAVET_MINGW_ARCH KAVET_MINGW_THREADS)

set(CMAKE_SYSTEM_NAME Windows)
# KavetFlags.cmake adds -msse2 -mfpmath=sse for a 32-bit x86 processor; x86-64 does its
# floating point in SSE registers already.
set(CMAKE_SYSTEM_PROCESSOR ${KAVET_MINGW_ARCH})

set(KAVET_MINGW_TRIPLE ${KAVET_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${KAVET_MINGW_TRIPLE}-gcc-${KAVET_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${KAVET_MINGW_TRIPLE}-g++-${KAVET_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${KAVET_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KAVET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must not offer the build machine's libraries to the Windows build.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/${KAVET_MINGW_TRIPLE}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Stack alignment, 32-bit only. The 32-bit Windows convention keeps the stack only 4-byte
# aligned, and hosts built with other compilers call the plug-in (entry, dispatcher,
# processing, window procedures, timer and hook callbacks) that way. GCC would otherwise
# assume 16 bytes at every function entry and may keep SSE values in stack slots with aligned
# loads and stores (movaps, movapd), which fault on a misaligned stack. With an incoming
# boundary of 4 bytes GCC realigns the frame of exactly those functions that need more; the
# rest pay nothing. Applied to everything, so no callback can be missed. (Debian's GCC 12 for
# this target already realigns by default; the flag keeps it so whatever the compiler's
# default.) kavet-wintest calls the entry points with the stack at each offset to prove it.
# The x64 convention makes every caller keep the stack 16-byte aligned at a call, which is
# what GCC assumes already, so the 64-bit build needs no flag (GCC refuses a boundary of 4
# bytes there).
if(KAVET_MINGW_ARCH STREQUAL "i686")
    set(CMAKE_C_FLAGS_INIT "-mincoming-stack-boundary=2")
    set(CMAKE_CXX_FLAGS_INIT "-mincoming-stack-boundary=2")
endif()

set(_kavet_static "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_kavet_static}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_kavet_static}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_kavet_static}")
unset(_kavet_static)

# Release modules ship without their symbol table (a third of the size); other build types
# keep it for Wine's backtraces.
foreach(_kavet_kind EXE SHARED MODULE)
    set(CMAKE_${_kavet_kind}_LINKER_FLAGS_RELEASE_INIT "-s")
    set(CMAKE_${_kavet_kind}_LINKER_FLAGS_MINSIZEREL_INIT "-s")
endforeach()
unset(_kavet_kind)
