# Compiler settings shared by every target of the project.
#
# Gains, glide and meters are defined to the bit: no fast-math, no contraction of a
# multiply and an add into one fused operation, and SSE2 arithmetic on 32-bit x86
# (x87 registers carry extra precision and round differently).

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_C_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)

add_compile_options(-ffp-contract=off -fno-fast-math)
# The tree's folder out of debug information and __FILE__: objects the same from any clone,
# which a compiler cache keyed on the compiler's working folder can then share.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.)
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "i.86|x86")
    add_compile_options(-msse2 -mfpmath=sse)
endif()

if(KAVET_SANITIZE)
    string(REPLACE ";" "," _kavet_san "${KAVET_SANITIZE}")
    add_compile_options(-fsanitize=${_kavet_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${_kavet_san})
endif()

# Strict warnings for the project's own code (not for test frameworks or generated code).
function(kavet_strict target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
