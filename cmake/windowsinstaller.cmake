# The Windows installer, Quillmoor-<version>-win64.exe: `cmake --build <build> --target package`
# runs NSIS (makensis, Debian's nsis) through CPack with the template in nsis/. It installs the
# whole deploy folder for the current user, without administrator rights, into
# %LOCALAPPDATA%\Programs\Quillmoor, with a shortcut in the user's Start menu and an entry in
# the user's Apps (HKCU). It and its uninstaller take /S for silent use.
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_FILE_NAME Quillmoor-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quillmoor)
set(CPACK_NSIS_PACKAGE_NAME Quillmoor)
set(CPACK_NSIS_DISPLAY_NAME Quillmoor)
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/nsis)
set(CPACK_QUILLMOOR_NSIS_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/nsis/quillmoor.nsh)
# The four numbers of a Windows version resource.
set(CPACK_QUILLMOOR_VI_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0)
set(CPACK_QUILLMOOR_COPYRIGHT "${QUILLMOOR_COPYRIGHT}")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/quillmoor.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/quillmoor.ico)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_URL_INFO_ABOUT "${QUILLMOOR_MAKER_URL}")
# LICENSE with each paragraph on one line, for the licence page to wrap at its own width.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE quillmoor_license)
string(REGEX REPLACE "([^\n])\n([^\n])" "\\1 \\2" quillmoor_license "${quillmoor_license}")
file(WRITE ${PROJECT_BINARY_DIR}/LICENSE-installer.txt "${quillmoor_license}")
set(CPACK_QUILLMOOR_LICENSE ${PROJECT_BINARY_DIR}/LICENSE-installer.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
