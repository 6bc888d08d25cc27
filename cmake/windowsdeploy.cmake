# The folder that windeployqt makes beside a Windows program, built by the target `deploy` in
# <build>/deploy: the program and its readme.txt, Qt's libraries and the plugins the program
# loads at run time (the platform, the native style, icon and picture files), and the
# compiler's own run-time libraries.
set(QUILLMOOR_DEPLOY_DIR ${PROJECT_BINARY_DIR}/deploy)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(quillmoor_gcc_runtime libgcc_s_seh-1.dll)
else()
    set(quillmoor_gcc_runtime libgcc_s_dw2-1.dll)
endif()
set(quillmoor_runtime_dlls)
foreach(dll libstdc++-6.dll ${quillmoor_gcc_runtime} libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    # The compiler echoes a name it cannot find.
    if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
    endif()
    file(REAL_PATH "${found}" found)
    list(APPEND quillmoor_runtime_dlls "${found}")
endforeach()

# Release builds ship their libraries stripped, as windeployqt's do: Debian's MinGW runtime and
# this Qt come with their symbols, well over half of the folder's size.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel)$")
    if(NOT CMAKE_STRIP)
        message(FATAL_ERROR "No strip for ${CMAKE_CXX_COMPILER}: set CMAKE_STRIP")
    endif()
    set(quillmoor_deploy_strip ON)
else()
    set(quillmoor_deploy_strip OFF)
endif()

set(quillmoor_deploy_commands)
# quillmoor_deploy(FILE NAME FOLDER [STRIP]): FILE as FOLDER/NAME in the deploy folder, stripped
# in release builds when STRIP is given.
macro(quillmoor_deploy file name folder)
    set(quillmoor_target ${QUILLMOOR_DEPLOY_DIR}/${folder}/${name})
    list(APPEND quillmoor_deploy_commands
        COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLMOOR_DEPLOY_DIR}/${folder})
    if(quillmoor_deploy_strip AND "${ARGN}" STREQUAL "STRIP")
        list(APPEND quillmoor_deploy_commands
            COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${quillmoor_target} ${file})
    else()
        list(APPEND quillmoor_deploy_commands
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${quillmoor_target})
    endif()
endmacro()
macro(quillmoor_deploy_target folder plugin)
    quillmoor_deploy($<TARGET_FILE:${plugin}> $<TARGET_FILE_NAME:${plugin}> ${folder} STRIP)
endmacro()

# The read-me in its Windows form, made beside the built program (the top CMakeLists.txt).
quillmoor_deploy($<TARGET_FILE_DIR:quillmoor>/readme.txt readme.txt .)
foreach(target quillmoor Qt6::Core Qt6::Gui Qt6::Widgets)
    quillmoor_deploy_target(. ${target})
endforeach()
foreach(dll ${quillmoor_runtime_dlls})
    get_filename_component(name ${dll} NAME)
    quillmoor_deploy(${dll} ${name} . STRIP)
endforeach()

# The platform plugin is needed to start at all; the others are taken where this Qt has them
# (the native style's plugin changed its name in Qt 6.7).
if(NOT TARGET Qt6::QWindowsIntegrationPlugin)
    message(FATAL_ERROR "This Qt has no Windows platform plugin (qwindows.dll)")
endif()
quillmoor_deploy_target(platforms Qt6::QWindowsIntegrationPlugin)
foreach(style Qt6::QWindowsVistaStylePlugin Qt6::QModernWindowsStylePlugin)
    if(TARGET ${style})
        quillmoor_deploy_target(styles ${style})
    endif()
endforeach()
# Icon files for the tray icon editor, and the pictures Qt itself may meet.
foreach(format Qt6::QICOPlugin Qt6::QGifPlugin Qt6::QJpegPlugin)
    if(TARGET ${format})
        quillmoor_deploy_target(imageformats ${format})
    endif()
endforeach()

# Part of every build, since the installer packs this folder whole.
add_custom_target(deploy ALL ${quillmoor_deploy_commands}
    DEPENDS quillmoor
    COMMENT "Deploying quillmoor.exe with Qt into ${QUILLMOOR_DEPLOY_DIR}"
    VERBATIM)
