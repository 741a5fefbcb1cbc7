# kavet_vst_module(NAME CONFIG): a VST 2.4 module named NAME (file "NAME.so" or "NAME.dll"
# under <build>/vst) built from the core in CONFIG (mono or stereo). Only the entry
# symbols are exported. The module carries the editor and its bitmaps.
function(kavet_vst_module name config)
    string(MAKE_C_IDENTIFIER "vst_${config}" target)
    add_library(${target} MODULE ${PROJECT_SOURCE_DIR}/core/vst/entry.cpp)
    # The effect with its editor; on Windows the bitmaps come with the resource object.
    target_link_libraries(${target} PRIVATE kavet_core_${config} kavet_editor_${config})
    if(WIN32)
        target_link_libraries(${target} PRIVATE kavet_resources)
    endif()
    kavet_strict(${target})
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME "${name}"
        PREFIX ""
        LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/vst
        RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/vst)
    if(WIN32)
        # The module-definition file also exports the entry as "main", for old hosts.
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/core/vst/vstplug.def)
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    else()
        target_compile_definitions(${target} PRIVATE
            "KAVET_EXPORT=__attribute__((visibility(\"default\")))")
        # The fuzzing build's sanitizer runtimes live in the loading program: no
        # --no-undefined there. Its modules carry no debug sections, which the command-line
        # host would read through on every load.
        if(KAVET_FUZZ)
            target_link_options(${target} PRIVATE -Wl,--strip-debug)
        else()
            target_link_options(${target} PRIVATE -Wl,--no-undefined)
        endif()
        target_link_options(${target} PRIVATE -Wl,-Bsymbolic
            -Wl,--defsym=main=VSTPluginMain
            "-Wl,--version-script=${PROJECT_SOURCE_DIR}/core/vst/exports.map")
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
            ${PROJECT_SOURCE_DIR}/core/vst/exports.map)
    endif()
endfunction()
