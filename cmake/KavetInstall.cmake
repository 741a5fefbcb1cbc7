# kavet_install_for_user(VARIABLE FOLDER PATH...): cmake --install copies PATH... (files or
# folders) into the folder named by the cache variable VARIABLE, or, while it is empty, into
# ~/FOLDER of the user who runs the install (the home is read when the install runs, not
# when the tree is configured).
function(kavet_install_for_user variable folder)
    set(paths "")
    foreach(path IN LISTS ARGN)
        string(APPEND paths " \"${path}\"")
    endforeach()
    install(CODE "
        set(destination \"${${variable}}\")
        if(NOT destination)
            set(destination \"\$ENV{HOME}/${folder}\")
        endif()
        file(INSTALL ${paths} DESTINATION \"\${destination}\" USE_SOURCE_PERMISSIONS)
    ")
endfunction()
