# The Linux implementations of the platform interfaces. Sets, for the build that includes it,
# quillmoor_platform_sources and _libraries (QtCore and QtDBus only), and
# quillmoor_platform_gui_sources and _gui_libraries (those that need the windows).
# NetworkManager, over the system bus, lists the modems that bring no PPP interface.
find_package(Qt6 REQUIRED COMPONENTS DBus)
set(quillmoor_platform_sources
    ${CMAKE_CURRENT_LIST_DIR}/applicationlauncher_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/applicationlauncher_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/autostartentry_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/autostartentry_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/childprocess_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/childprocess_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/confighome_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/connectionsource_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/desktopentry_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/desktopentry_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/filenames_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/inifile_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/inifile_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/inifilereader_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/instancelock_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linkevents_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linkevents_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/linkwatcher_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linkwatcher_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/networkmanager_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/networkmanager_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/networkmanagerbus_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/networkmanagerbus_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/networkmanagersource_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pppinterfaces_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pppinterfaces_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/settingsfile_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settingsfile_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/settingsfileloader_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settingsfileloader_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/settingslock_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settingslock_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/startupentry_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sysinfo_linux.cpp)
set(quillmoor_platform_libraries Qt6::DBus)
# The desktop's opener and program starts (QtGui, and GIO for the application set to open a
# document), the StatusNotifierItem tray item with its menu exported over DBusMenu, and the
# icon for an XEmbed tray.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GIO REQUIRED gio-unix-2.0)
# GIO's headers only: it is loaded when a document is first opened, so an idle program does not
# carry it.
add_library(quillmoor_gio_headers INTERFACE)
target_include_directories(quillmoor_gio_headers SYSTEM INTERFACE ${GIO_INCLUDE_DIRS})
target_link_libraries(quillmoor_gio_headers INTERFACE ${CMAKE_DL_LIBS})
set(quillmoor_platform_gui_sources
    ${CMAKE_CURRENT_LIST_DIR}/dbusmenu_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dbusmenu_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/defaultapplication_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/defaultapplication_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/desktopnotices_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/desktopnotices_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/documentshell_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/programstarter_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/statusnotifieradaptor_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/statusnotifieradaptor_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/statusnotifieritem_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/statusnotifieritem_linux.h
    ${CMAKE_CURRENT_LIST_DIR}/xembedicon_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xembedicon_linux.h)
# The XEmbed tray icon talks to the X server through the connection Qt opened.
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET GLOBAL xcb)
set(quillmoor_platform_gui_libraries Qt6::DBus quillmoor_gio_headers PkgConfig::XCB)
