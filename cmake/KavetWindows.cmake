# The Windows 32-bit build, made from the native build: the same source tree configured with
# the MinGW-w64 i686 toolchain (cmake/mingw-i686.cmake) in <build>/win32. It produces the
# VST modules (<build>/win32/vst/*.dll) and the Windows test host
# (<build>/win32/hosts/wintest/kavet-wintest.exe), which the native test suite runs under
# Wine (tests/windows). The cross build has no tests or benchmarks of its own.
#
# Sets for the rest of the native build:
#   KAVET_WINDOWS_BINARY_DIR  the cross build's folder
#   KAVET_WINDOWS_VST_MONO    the mono VST module
#   KAVET_WINDOWS_WINTEST     the Windows test host

find_program(KAVET_MINGW_CXX NAMES i686-w64-mingw32-g++-win32 i686-w64-mingw32-g++
    DOC "MinGW-w64 i686 C++ compiler (Debian package g++-mingw-w64-i686)")
if(KAVET_MINGW_CXX)
    set(_kavet_windows_default ON)
else()
    set(_kavet_windows_default OFF)
endif()
option(KAVET_WINDOWS "Also build the Windows 32-bit modules with MinGW-w64 (in <build>/win32)"
    ${_kavet_windows_default})
unset(_kavet_windows_default)

if(NOT KAVET_WINDOWS)
    return()
endif()
if(NOT KAVET_MINGW_CXX)
    message(FATAL_ERROR "KAVET_WINDOWS is on but no i686-w64-mingw32-g++ was found "
        "(apt-get install g++-mingw-w64-i686), or configure with -DKAVET_WINDOWS=OFF")
endif()

include(ExternalProject)

set(KAVET_WINDOWS_BINARY_DIR ${PROJECT_BINARY_DIR}/win32)
set(KAVET_WINDOWS_VST_MONO "${KAVET_WINDOWS_BINARY_DIR}/vst/Velmorant Kavet Mono.dll")
set(KAVET_WINDOWS_WINTEST ${KAVET_WINDOWS_BINARY_DIR}/hosts/wintest/kavet-wintest.exe)

set(_kavet_windows_type ${CMAKE_BUILD_TYPE})
if(NOT _kavet_windows_type)
    set(_kavet_windows_type Release)
endif()

# BUILD_ALWAYS: the inner build tracks its own sources, so it runs on every build of the
# native tree and does nothing when nothing changed. With Makefile generators the inner
# make shares the outer jobserver (-j of the outer build).
ExternalProject_Add(kavet_windows
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${KAVET_WINDOWS_BINARY_DIR}
    PREFIX ${PROJECT_BINARY_DIR}/win32-stamps
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake
        -DCMAKE_BUILD_TYPE=${_kavet_windows_type}
        -DKAVET_BUILD_TESTS=OFF
        -DKAVET_BUILD_BENCH=OFF
        -DKAVET_BUILD_HOSTS=ON
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${KAVET_WINDOWS_VST_MONO} ${KAVET_WINDOWS_WINTEST})
unset(_kavet_windows_type)
