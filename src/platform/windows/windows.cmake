# The Windows implementations of the platform interfaces. Sets, for the build that includes it,
# quillmoor_platform_sources and _libraries: the Win32 API and the standard library only, so
# that they also cross-build without Qt (tests/windows); quillmoor_platform_qt_sources, the
# core's Qt adapters for them; and quillmoor_platform_gui_sources and _gui_libraries, for the Qt
# program alone.
set(quillmoor_platform_sources
    ${CMAKE_CURRENT_LIST_DIR}/filenames_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/instancelock_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/profilevalue.h
    ${CMAKE_CURRENT_LIST_DIR}/profilevalue_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rasrecords.h
    ${CMAKE_CURRENT_LIST_DIR}/registryvalue.h
    ${CMAKE_CURRENT_LIST_DIR}/remoteaccess.h
    ${CMAKE_CURRENT_LIST_DIR}/remoteaccess_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settingsregistry_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startupentry_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sysinfo_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32text.h
    ${CMAKE_CURRENT_LIST_DIR}/win32text_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windowsshell.h
    ${CMAKE_CURRENT_LIST_DIR}/windowsshell_windows.cpp)
set(quillmoor_platform_libraries advapi32 shell32)
# The core's adapters between the Win32 code above and the interfaces that take Qt's types.
set(quillmoor_platform_qt_sources ${CMAKE_CURRENT_LIST_DIR}/connectionsource_windows.cpp)
# Those that take Qt's types, at the edge of the Win32 code above. The taskbar's notification
# area is QSystemTrayIcon's (trayicon_windows.cpp): no tray item of our own.
set(quillmoor_platform_gui_sources
    ${CMAKE_CURRENT_LIST_DIR}/documentshell_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/programstarter_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/statusnotifier_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/trayicon_windows.cpp)
set(quillmoor_platform_gui_libraries)
