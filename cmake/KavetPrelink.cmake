# kavet_prelinked_part(PART CONFIG PREFIX OUT_VAR [COMMENT text]): joins the object library
# PART (one channel configuration's part of a module) with its configuration's effect, core
# and editor into one relocatable object, <current binary dir>/PART.o, in which every name
# the part defines carries PREFIX, except PART itself (the part's entry, which the module
# calls). The core and the editor are compiled once per configuration under the same names:
# joined this way, both configurations live in one module and meet only through their
# entries (cmake/prelink.cmake does the joining). OUT_VAR receives the object's path, marked
# as a generated external object for the module's sources.
set(KAVET_PRELINK_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/prelink.cmake)

function(kavet_prelinked_part part config prefix out_var)
    cmake_parse_arguments(PARSE_ARGV 4 arg "" "COMMENT" "")
    if(NOT arg_COMMENT)
        set(arg_COMMENT "Joining ${part}")
    endif()
    set(joined ${CMAKE_CURRENT_BINARY_DIR}/${part}.o)
    set(objects $<TARGET_OBJECTS:${part}> $<TARGET_OBJECTS:kavet_effect_${config}>)
    set(archives $<TARGET_FILE:kavet_core_${config}> $<TARGET_FILE:kavet_editor_${config}>)
    add_custom_command(OUTPUT ${joined}
        COMMAND ${CMAKE_COMMAND} -D LINKER=${CMAKE_LINKER} -D NM=${CMAKE_NM}
            -D OBJCOPY=${CMAKE_OBJCOPY} -D PREFIX=${prefix} -D KEEP=${part}
            -D COFF=$<BOOL:${WIN32}> "-D OBJECTS=$<JOIN:${objects},|>" "-D ARCHIVES=$<JOIN:${archives},|>"
            -D OUT=${joined} -P ${KAVET_PRELINK_SCRIPT}
        DEPENDS ${objects} ${archives} ${KAVET_PRELINK_SCRIPT} ${part}
            kavet_effect_${config} kavet_core_${config} kavet_editor_${config}
        COMMENT "${arg_COMMENT}"
        VERBATIM)
    set_source_files_properties(${joined} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
    set(${out_var} ${joined} PARENT_SCOPE)
endfunction()
