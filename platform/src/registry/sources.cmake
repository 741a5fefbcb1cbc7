# The registry (ADVAPI32 Reg* functions) on a text file under the user's config folder.
target_sources(kavet_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/hive_document.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hive_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hive_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_handles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_path.cpp
    ${CMAKE_CURRENT_LIST_DIR}/winreg_api.cpp)
