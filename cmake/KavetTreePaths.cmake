# Tests and benchmarks name the files they run (modules, bundles, the kavet program, reference
# bitmaps, output folders) in compile definitions. Written as absolute paths, those would make
# every object that uses them depend on the folder the tree was checked out in, and a compiler
# cache would find none of them from another clone. kavet_tree_relative_paths() rewrites each
# such definition of the targets under the given folders into a path relative to the build
# tree, found at run time from the one root compiled into kavet_tree_paths
# (tests/support/tree_paths.h). Paths outside the tree (system programs) stay as they are.

set(_kavet_tree_paths_source ${CMAKE_CURRENT_LIST_DIR}/../tests/support/tree_paths.cpp)

function(_kavet_tree_paths_library)
    if(TARGET kavet_tree_paths)
        return()
    endif()
    add_library(kavet_tree_paths STATIC ${_kavet_tree_paths_source})
    target_compile_definitions(kavet_tree_paths PRIVATE KAVET_BUILD_ROOT="${PROJECT_BINARY_DIR}")
    kavet_strict(kavet_tree_paths)
endfunction()

# The definition `item` (NAME="value") with a value in the tree rewritten; in `out`.
function(_kavet_tree_relative_definition out item)
    set(${out} "${item}" PARENT_SCOPE)
    if(NOT item MATCHES "^([A-Za-z0-9_]+)=\"(.*)\"$")
        return()
    endif()
    set(name ${CMAKE_MATCH_1})
    set(value "${CMAKE_MATCH_2}")
    if(value MATCHES "^\\$<TARGET_FILE:")
        set(relative "$<PATH:RELATIVE_PATH,${value},${PROJECT_BINARY_DIR}>")
    else()
        cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${value}" NORMALIZE in_source)
        cmake_path(IS_PREFIX PROJECT_BINARY_DIR "${value}" NORMALIZE in_build)
        if(NOT in_source AND NOT in_build)
            return()
        endif()
        file(RELATIVE_PATH relative ${PROJECT_BINARY_DIR} "${value}")
    endif()
    set(${out} "${name}=::kavet::test::inBuildTree(\"${relative}\")" PARENT_SCOPE)
endfunction()

function(_kavet_tree_relative_target target)
    get_target_property(definitions ${target} COMPILE_DEFINITIONS)
    if(NOT definitions)
        return()
    endif()
    set(rewritten "")
    foreach(item IN LISTS definitions)
        _kavet_tree_relative_definition(new "${item}")
        list(APPEND rewritten "${new}")
    endforeach()
    if(rewritten STREQUAL definitions)
        return()
    endif()
    _kavet_tree_paths_library()
    set_property(TARGET ${target} PROPERTY COMPILE_DEFINITIONS "${rewritten}")
    # The declaration the rewritten definitions call, in every source of the target.
    target_compile_options(${target} PRIVATE -include
        ${PROJECT_SOURCE_DIR}/tests/support/tree_paths.h)
    target_link_libraries(${target} PRIVATE kavet_tree_paths)
endfunction()

# kavet_tree_relative_paths(<folder>...): every target defined in the folders and below.
function(kavet_tree_relative_paths)
    foreach(dir IN LISTS ARGN)
        get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            if(NOT type STREQUAL "INTERFACE_LIBRARY" AND NOT type STREQUAL "UTILITY")
                _kavet_tree_relative_target(${target})
            endif()
        endforeach()
        get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
        if(subdirs)
            kavet_tree_relative_paths(${subdirs})
        endif()
    endforeach()
endfunction()
