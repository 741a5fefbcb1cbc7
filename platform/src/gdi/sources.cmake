target_sources(kavet_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/bitmap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/blit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/draw.cpp
    ${CMAKE_CURRENT_LIST_DIR}/font.cpp
    ${CMAKE_CURRENT_LIST_DIR}/font_data.cpp
    ${CMAKE_CURRENT_LIST_DIR}/objects.cpp
    ${CMAKE_CURRENT_LIST_DIR}/region.cpp
    ${CMAKE_CURRENT_LIST_DIR}/surface.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text.cpp
)
