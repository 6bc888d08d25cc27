# The Linux implementations of the platform interfaces. Sets quillmoor_platform_sources and
# quillmoor_platform_libraries for the build that includes it.
# NetworkManager, over the system bus, lists the modems that bring no PPP interface.
find_package(Qt6 REQUIRED COMPONENTS DBus)
set(quillmoor_platform_sources
    ${CMAKE_CURRENT_LIST_DIR}/filenames_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/autostartentry_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/autostartentry_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/inifile_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/inifile_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/linkevents_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linkevents_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/linkwatcher_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linkwatcher_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/networkmanager_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/networkmanager_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/pppinterfaces_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pppinterfaces_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/remoteaccess_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settingsfile_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settingsfile_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/startupentry_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sysinfo_linux.cpp)
set(quillmoor_platform_libraries Qt6::DBus)
