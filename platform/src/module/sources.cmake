target_sources(kavet_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/bmp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/builtin.cpp
    ${CMAKE_CURRENT_LIST_DIR}/modules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resources.cpp
)
target_link_libraries(kavet_platform PUBLIC ${CMAKE_DL_LIBS})
