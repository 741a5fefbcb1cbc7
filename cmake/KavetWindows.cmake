# The Windows builds, made from the native build: the same source tree configured with the
# MinGW-w64 toolchain (cmake/mingw.cmake), once per processor, each in a folder of its own:
#
#   win32  32-bit x86 (i686-w64-mingw32), for 32-bit hosts    option KAVET_WINDOWS
#   win64  x86-64 (x86_64-w64-mingw32), for 64-bit hosts      option KAVET_WINDOWS_64
#
# Each option is on when its compiler is found. Each build produces the VST modules
# (<build>/winNN/vst/*.dll), the host-format modules (<build>/winNN/protools/CONFIG/
# VelmorantKavet.dpm), the VST 3 bundle (<build>/winNN/vst3/Kavet.vst3), the CLAP module
# (<build>/winNN/clap/Kavet.clap) and the Windows test host (<build>/winNN/hosts/wintest/
# kavet-wintest.exe), which the native test suite runs under Wine (tests/windows). The cross
# builds have no tests or benchmarks of their own.
#
# Sets for the rest of the native build:
#   KAVET_WINDOWS_BUILDS       the Windows builds made: win32, win64, both or none
# and for each build NAME of them (WIN32 or WIN64 below):
#   KAVET_NAME_TARGET          the target that makes it (kavet_win32, kavet_win64)
#   KAVET_NAME_BITS            32 or 64
#   KAVET_NAME_BINARY_DIR      its folder
#   KAVET_NAME_VST_MONO        the VST modules
#   KAVET_NAME_VST_STEREO
#   KAVET_NAME_PT_MONO         the host-format modules
#   KAVET_NAME_PT_STEREO
#   KAVET_NAME_WINTEST         the Windows test host
#   KAVET_NAME_VST3            the VST 3 module (in its bundle)
#   KAVET_NAME_CLAP            the CLAP module

include(ExternalProject)

set(KAVET_WINDOWS_BUILDS "")

# kavet_windows_build(NAME ARCH OPTION BITS): the build NAME for the MinGW processor ARCH
# (i686 or x86_64), made when OPTION is on.
function(kavet_windows_build name arch option bits)
    string(TOUPPER ${arch} arch_upper)
    find_program(KAVET_MINGW_${arch_upper}_CXX
        NAMES ${arch}-w64-mingw32-g++-win32 ${arch}-w64-mingw32-g++
        DOC "MinGW-w64 ${arch} C++ compiler")
    string(REPLACE "_" "-" package_arch ${arch})
    set(package g++-mingw-w64-${package_arch})
    if(KAVET_MINGW_${arch_upper}_CXX)
        set(default ON)
    else()
        set(default OFF)
    endif()
    option(${option}
        "Also build the ${bits}-bit Windows modules with MinGW-w64 ${arch} (in <build>/${name})"
        ${default})
    if(NOT ${option})
        return()
    endif()
    if(NOT KAVET_MINGW_${arch_upper}_CXX)
        message(FATAL_ERROR "${option} is on but no ${arch}-w64-mingw32-g++ was found "
            "(apt-get install ${package}), or configure with -D${option}=OFF")
    endif()

    set(dir ${PROJECT_BINARY_DIR}/${name})
    string(TOUPPER ${name} var)
    set(vst_mono "${dir}/vst/Velmorant Kavet Mono.dll")
    set(vst_stereo "${dir}/vst/Velmorant Kavet Stereo.dll")
    set(pt_mono ${dir}/protools/mono/VelmorantKavet.dpm)
    set(pt_stereo ${dir}/protools/stereo/VelmorantKavet.dpm)
    set(wintest ${dir}/hosts/wintest/kavet-wintest.exe)
    set(clap ${dir}/clap/Kavet.clap)
    if(bits EQUAL 64)
        set(vst3 ${dir}/vst3/Kavet.vst3/Contents/x86_64-win/Kavet.vst3)
    else()
        set(vst3 ${dir}/vst3/Kavet.vst3/Contents/x86-win/Kavet.vst3)
    endif()

    set(type ${CMAKE_BUILD_TYPE})
    if(NOT type)
        set(type Release)
    endif()
    # The native build's compiler launcher (ccache, say) serves the cross compilers too.
    set(launchers "")
    foreach(lang C CXX)
        if(CMAKE_${lang}_COMPILER_LAUNCHER)
            list(APPEND launchers "-DCMAKE_${lang}_COMPILER_LAUNCHER=${CMAKE_${lang}_COMPILER_LAUNCHER}")
        endif()
    endforeach()

    # BUILD_ALWAYS: the inner build tracks its own sources, so it runs on every build of the
    # native tree and does nothing when nothing changed. With Makefile generators the inner
    # make shares the outer jobserver (-j of the outer build).
    ExternalProject_Add(kavet_${name}
        SOURCE_DIR ${PROJECT_SOURCE_DIR}
        BINARY_DIR ${dir}
        PREFIX ${PROJECT_BINARY_DIR}/${name}-stamps
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw.cmake
            -DKAVET_MINGW_ARCH=${arch}
            -DCMAKE_BUILD_TYPE=${type}
            -DKAVET_BUILD_TESTS=OFF
            -DKAVET_BUILD_BENCH=OFF
            -DKAVET_BUILD_HOSTS=ON
            ${launchers}
        INSTALL_COMMAND ""
        BUILD_ALWAYS ON
        BUILD_BYPRODUCTS ${vst_mono} ${vst_stereo} ${pt_mono} ${pt_stereo} ${wintest} ${vst3}
            ${clap})

    set(KAVET_${var}_TARGET kavet_${name} PARENT_SCOPE)
    set(KAVET_${var}_BITS ${bits} PARENT_SCOPE)
    set(KAVET_${var}_BINARY_DIR ${dir} PARENT_SCOPE)
    set(KAVET_${var}_VST_MONO ${vst_mono} PARENT_SCOPE)
    set(KAVET_${var}_VST_STEREO ${vst_stereo} PARENT_SCOPE)
    set(KAVET_${var}_PT_MONO ${pt_mono} PARENT_SCOPE)
    set(KAVET_${var}_PT_STEREO ${pt_stereo} PARENT_SCOPE)
    set(KAVET_${var}_WINTEST ${wintest} PARENT_SCOPE)
    set(KAVET_${var}_VST3 ${vst3} PARENT_SCOPE)
    set(KAVET_${var}_CLAP ${clap} PARENT_SCOPE)
    set(KAVET_WINDOWS_BUILDS ${KAVET_WINDOWS_BUILDS} ${name} PARENT_SCOPE)
endfunction()

kavet_windows_build(win32 i686 KAVET_WINDOWS 32)
kavet_windows_build(win64 x86_64 KAVET_WINDOWS_64 64)
