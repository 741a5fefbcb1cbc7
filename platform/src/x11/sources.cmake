# The X11 display backend: editors in the windows of Linux hosts. libX11 and libXext are
# loaded when the first editor opens, so the modules load and process where they are missing;
# only their headers are needed to build.
find_path(KAVET_X11_INCLUDE_DIR X11/Xlib.h DOC "Xlib headers (Debian package libx11-dev)")
find_path(KAVET_XEXT_INCLUDE_DIR X11/extensions/XShm.h
    DOC "MIT-SHM headers (Debian package libxext-dev)")
if(NOT KAVET_X11_INCLUDE_DIR OR NOT KAVET_XEXT_INCLUDE_DIR)
    message(FATAL_ERROR "The X11 backend needs the Xlib and XShm headers "
        "(apt-get install libx11-dev libxext-dev)")
endif()
target_include_directories(kavet_platform SYSTEM PRIVATE ${KAVET_X11_INCLUDE_DIR}
    ${KAVET_XEXT_INCLUDE_DIR})
target_sources(kavet_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/backend.cpp
    ${CMAKE_CURRENT_LIST_DIR}/events.cpp
    ${CMAKE_CURRENT_LIST_DIR}/host_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keymap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/present.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xlib.cpp)
target_link_libraries(kavet_platform PRIVATE ${CMAKE_DL_LIBS})
