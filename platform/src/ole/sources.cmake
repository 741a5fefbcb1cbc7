target_sources(kavet_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/drop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/global_memory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ole.cpp
)
