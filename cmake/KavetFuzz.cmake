# KAVET_FUZZ: the libFuzzer harnesses of tests/fuzz and only the libraries they need, built
# with clang. The libraries are instrumented for coverage without libFuzzer's main
# (fuzzer-no-link); each harness links libFuzzer. Address and undefined-behaviour checks
# abort at the first fault. The numeric rules of KavetFlags.cmake stay as they are
# (-ffp-contract=off, no fast-math).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KAVET_FUZZ needs clang (configure with CC=clang CXX=clang++)")
endif()
if(KAVET_SANITIZE)
    message(FATAL_ERROR "KAVET_FUZZ brings its own sanitizers: leave KAVET_SANITIZE empty")
endif()

set(KAVET_BUILD_TESTS OFF)
set(KAVET_BUILD_BENCH OFF)
set(KAVET_WINDOWS OFF CACHE BOOL "" FORCE)
set(KAVET_WINDOWS_64 OFF CACHE BOOL "" FORCE)

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)
