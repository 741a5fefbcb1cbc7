# The window manager: classes, windows, queues, painting, focus, input, time, hooks, EDIT.
target_sources(kavet_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/classes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/clock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/compose.cpp
    ${CMAKE_CURRENT_LIST_DIR}/core.cpp
    ${CMAKE_CURRENT_LIST_DIR}/defwindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/display.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/focus.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hooks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/input.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keyboard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/paint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/queue.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windows.cpp)
