# Joins one channel configuration's objects into one relocatable object whose names cannot
# meet the other configuration's: the core and the editor are compiled once per
# configuration under the same names, and both live in the one VST 3 module.
#   LINKER NM OBJCOPY OBJDUMP: the toolchain's binary tools
#   OBJECTS ("|" between them): the configuration's objects; ARCHIVES: its static libraries (members taken as
#     a link takes them)
#   PREFIX: put before every name the part defines; KEEP: the part's entry, kept as it is
#   COFF: true for Windows objects, whose COMDAT sections are also told apart by name
#   OUT: the object written
cmake_minimum_required(VERSION 3.25)

# The lists come "|"-separated: a ";" would split the command line that carries them.
string(REPLACE "|" ";" OBJECTS "${OBJECTS}")
string(REPLACE "|" ";" ARCHIVES "${ARCHIVES}")
set(joined "${OUT}.joined")
execute_process(COMMAND ${LINKER} -r -o ${joined} ${OBJECTS} --start-group ${ARCHIVES} --end-group
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "prelink: ${LINKER} -r failed")
endif()

execute_process(COMMAND ${NM} --defined-only ${joined} OUTPUT_VARIABLE symbols
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "prelink: ${NM} failed")
endif()

# A COFF section "head$tail" becomes "head$PREFIXtail": the linker still sorts it into
# "head", and a COMDAT section of one part no longer stands for the other's.
function(renamed_section name out)
    string(FIND "${name}" "$" dollar)
    math(EXPR after "${dollar} + 1")
    string(SUBSTRING "${name}" 0 ${after} head)
    string(SUBSTRING "${name}" ${after} -1 tail)
    set(${out} "${head}${PREFIX}${tail}" PARENT_SCOPE)
endfunction()

set(renames "")
set(section_args "")
string(REPLACE "\n" ";" lines "${symbols}")
foreach(line IN LISTS lines)
    if(NOT line MATCHES "^[0-9a-fA-F]+ [A-Za-z] (.+)$")
        continue()
    endif()
    set(name "${CMAKE_MATCH_1}")
    if(name STREQUAL KEEP OR name STREQUAL "_${KEEP}")
        continue()
    endif()
    if(name MATCHES "^\\.")
        # Section symbols: only a COFF COMDAT section's, renamed with its section.
        if(COFF AND name MATCHES "\\$")
            renamed_section("${name}" new)
            string(APPEND renames "${name} ${new}\n")
            list(APPEND section_args "--rename-section" "${name}=${new}")
        endif()
        continue()
    endif()
    string(APPEND renames "${name} ${PREFIX}${name}\n")
endforeach()

file(WRITE "${OUT}.names" "${renames}")
execute_process(COMMAND ${OBJCOPY} --redefine-syms=${OUT}.names ${section_args} ${joined} ${OUT}
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "prelink: ${OBJCOPY} failed")
endif()
file(REMOVE ${joined})
