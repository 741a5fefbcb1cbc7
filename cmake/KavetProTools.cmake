# kavet_protools_module(CONFIG): the host-format module of CONFIG (mono or stereo),
# <build>/protools/CONFIG/VelmorantKavet.so (.dpm in the Windows builds, with the editor's
# bitmaps as resources). It exports exactly NewPlugIn, WinPlugInOpen, WinPlugInClose and
# _PI_GetRoutineDescriptor.
function(kavet_protools_module config)
    set(target pt_${config})
    set(dir ${PROJECT_SOURCE_DIR}/protools)
    add_library(${target} MODULE ${dir}/exports.cpp)
    target_link_libraries(${target} PRIVATE kavet_pt_adaptor_${config} kavet_effect_${config})
    kavet_strict(${target})
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME VelmorantKavet
        PREFIX ""
        LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/protools/${config}
        RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/protools/${config})
    if(WIN32)
        target_sources(${target} PRIVATE ${dir}/dllmain.cpp ${dir}/exports.def)
        # The editor's bitmaps: the resource object reaches only a module that links it
        # itself (objects of an object library do not pass through the editor library).
        target_link_libraries(${target} PRIVATE kavet_resources)
        set_target_properties(${target} PROPERTIES SUFFIX ".dpm")
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    else()
        # The loader builds the entry's static object when it maps the module.
        target_sources(${target} PRIVATE ${dir}/load_hook.cpp)
        set_target_properties(${target} PROPERTIES SUFFIX ".so")
        target_compile_definitions(${target} PRIVATE
            "PT_EXPORT=__attribute__((visibility(\"default\")))")
        target_link_options(${target} PRIVATE -Wl,--no-undefined -Wl,-Bsymbolic
            "-Wl,--version-script=${dir}/exports.map")
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${dir}/exports.map)
    endif()
endfunction()
