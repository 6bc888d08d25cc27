# The Windows installer, Quillmoor-<version>-win64.exe: `cmake --build <build> --target package`
# runs NSIS (makensis, Debian's nsis) through CPack. It installs the whole deploy folder into
# Program Files\Quillmoor, with a Start-menu shortcut and an entry in Add/Remove Programs; it and
# its uninstaller take /S for silent use.
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_FILE_NAME Quillmoor-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quillmoor)
set(CPACK_NSIS_PACKAGE_NAME Quillmoor)
set(CPACK_NSIS_DISPLAY_NAME Quillmoor)
# CMake's own template with the 64-bit target and the steps of quillmoor.nsh.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/nsis)
set(CPACK_QUILLMOOR_NSIS_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/nsis/quillmoor.nsh)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/quillmoor.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/quillmoor.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME quillmoor.exe)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# An older Quillmoor goes first, silently with /S.
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "!insertmacro QuillmoorInstall")
set(CPACK_NSIS_CREATE_ICONS_EXTRA "!insertmacro QuillmoorShortcut")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "!insertmacro QuillmoorDeleteShortcut")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "!insertmacro QuillmoorUninstall")
if(QUILLMOOR_MAKER_URL)
    set(CPACK_NSIS_URL_INFO_ABOUT "${QUILLMOOR_MAKER_URL}")
endif()
