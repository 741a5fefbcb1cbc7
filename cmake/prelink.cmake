# Joins one channel configuration's objects into one relocatable object whose names cannot
# meet the other configuration's: the core and the editor are compiled once per
# configuration under the same names, and both live in one module (the VST 3 module, the
# CLAP module).
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

# Names as "old new" pairs; a COFF object has many symbols of one section name.
set(renames "")
set(sections "")
string(REPLACE "\n" ";" lines "${symbols}")
foreach(line IN LISTS lines)
    if(NOT line MATCHES "^[0-9a-fA-F]+ [A-Za-z] (.+)$")
        continue()
    endif()
    set(name "${CMAKE_MATCH_1}")
    if(name STREQUAL KEEP OR name STREQUAL "_${KEEP}")
        continue()
    endif()
    if(name MATCHES "^\\.[A-Za-z_]+$")
        continue() # a section's own symbol (".text", ".rdata")
    endif()
    if(COFF AND name MATCHES "^\\..*\\$")
        list(APPEND sections "${name}") # a COMDAT section's symbol, renamed with its section
        continue()
    endif()
    list(APPEND renames "${name} ${PREFIX}${name}")
endforeach()

set(section_args "")
list(REMOVE_DUPLICATES sections)
foreach(name IN LISTS sections)
    renamed_section("${name}" new)
    list(APPEND renames "${name} ${new}")
    list(APPEND section_args "--rename-section" "${name}=${new}")
endforeach()
list(REMOVE_DUPLICATES renames)
list(JOIN renames "\n" lines)
file(WRITE "${OUT}.names" "${lines}\n")
execute_process(COMMAND ${OBJCOPY} --redefine-syms=${OUT}.names ${section_args} ${joined} ${OUT}
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "prelink: ${OBJCOPY} failed")
endif()
file(REMOVE ${joined})
