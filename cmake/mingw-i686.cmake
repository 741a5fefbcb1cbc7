# Toolchain for 32-bit Windows with Debian's MinGW-w64 i686 cross compilers
# (g++-mingw-w64-i686): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake ...
#
# The modules and programs it builds need no DLL beyond the system's: libgcc, libstdc++
# and the thread support are linked statically. The "win32" thread model (the default
# here) has no thread library at all; "posix" would bring in winpthreads, linked
# statically too by -static.

set(CMAKE_SYSTEM_NAME Windows)
# KavetFlags.cmake adds -msse2 -mfpmath=sse for a 32-bit x86 processor.
set(CMAKE_SYSTEM_PROCESSOR i686)

set(KAVET_MINGW_TRIPLE i686-w64-mingw32)
set(KAVET_MINGW_THREADS win32 CACHE STRING "Thread model of the MinGW compilers (win32 or posix)")
set_property(CACHE KAVET_MINGW_THREADS PROPERTY STRINGS win32 posix)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KAVET_MINGW_THREADS)

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

# Stack alignment. The 32-bit Windows convention keeps the stack only 4-byte aligned, and
# hosts built with other compilers call the plug-in (entry, dispatcher, processing, window
# procedures, timer and hook callbacks) that way. GCC would otherwise assume 16 bytes at
# every function entry and may keep SSE values in stack slots with aligned loads and stores
# (movaps, movapd), which fault on a misaligned stack. With an incoming boundary of 4 bytes
# GCC realigns the frame of exactly those functions that need more; the rest pay nothing.
# Applied to everything, so no callback can be missed. (Debian's GCC 12 for this target
# already realigns by default; the flag keeps it so whatever the compiler's default.)
# kavet-wintest calls the entry points with the stack at each offset to prove it.
set(CMAKE_C_FLAGS_INIT "-mincoming-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-mincoming-stack-boundary=2")

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
