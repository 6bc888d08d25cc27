# The Windows implementations of the platform interfaces: the Win32 API and the standard
# library only, so that they cross-build with mingw-w64 with or without Qt. Sets
# quillmoor_platform_sources and quillmoor_platform_libraries for the build that includes it.
set(quillmoor_platform_sources
    ${CMAKE_CURRENT_LIST_DIR}/filenames_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/profilevalue.h
    ${CMAKE_CURRENT_LIST_DIR}/profilevalue_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rasrecords.h
    ${CMAKE_CURRENT_LIST_DIR}/registryvalue.h
    ${CMAKE_CURRENT_LIST_DIR}/remoteaccess_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settingsregistry_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startupentry_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sysinfo_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32text.h
    ${CMAKE_CURRENT_LIST_DIR}/win32text_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windowsshell.h
    ${CMAKE_CURRENT_LIST_DIR}/windowsshell_windows.cpp)
set(quillmoor_platform_libraries advapi32 shell32)
