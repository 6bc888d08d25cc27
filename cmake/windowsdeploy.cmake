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

set(quillmoor_deploy_files
    $<TARGET_FILE:quillmoor> ${PROJECT_SOURCE_DIR}/readme.txt
    $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    ${quillmoor_runtime_dlls})
set(quillmoor_deploy_commands
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLMOOR_DEPLOY_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${quillmoor_deploy_files}
            ${QUILLMOOR_DEPLOY_DIR})
macro(quillmoor_deploy_plugin folder plugin)
    list(APPEND quillmoor_deploy_commands
        COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLMOOR_DEPLOY_DIR}/${folder}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${plugin}>
                ${QUILLMOOR_DEPLOY_DIR}/${folder})
endmacro()

# The platform plugin is needed to start at all; the others are taken where this Qt has them
# (the native style's plugin changed its name in Qt 6.7).
if(NOT TARGET Qt6::QWindowsIntegrationPlugin)
    message(FATAL_ERROR "This Qt has no Windows platform plugin (qwindows.dll)")
endif()
quillmoor_deploy_plugin(platforms Qt6::QWindowsIntegrationPlugin)
foreach(style Qt6::QWindowsVistaStylePlugin Qt6::QModernWindowsStylePlugin)
    if(TARGET ${style})
        quillmoor_deploy_plugin(styles ${style})
    endif()
endforeach()
# Icon files for the tray icon editor, and the pictures Qt itself may meet.
foreach(format Qt6::QICOPlugin Qt6::QGifPlugin Qt6::QJpegPlugin)
    if(TARGET ${format})
        quillmoor_deploy_plugin(imageformats ${format})
    endif()
endforeach()

add_custom_target(deploy ${quillmoor_deploy_commands}
    DEPENDS quillmoor
    COMMENT "Deploying quillmoor.exe with Qt into ${QUILLMOOR_DEPLOY_DIR}"
    VERBATIM)
