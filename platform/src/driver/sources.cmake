# The driver of the headless backend (kavet/driver.h): clock, scripted input, pump,
# capture and PNG files.
find_package(PNG REQUIRED)
target_sources(kavet_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/capture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/driver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/png.cpp)
target_link_libraries(kavet_platform PRIVATE PNG::PNG)
