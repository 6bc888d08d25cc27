# What a Linux install carries besides the program: the menu entry, the icons in every size that
# menus and software centres ask for, the AppStream metainfo, the manual page, and the licence
# and changelog where Debian looks for them (usr/share/doc/quillmoor).
set(quillmoor_resources ${PROJECT_SOURCE_DIR}/resources)
set(quillmoor_doc_build ${PROJECT_BINARY_DIR}/doc)
file(MAKE_DIRECTORY ${quillmoor_doc_build})

install(FILES ${quillmoor_resources}/quillmoor.desktop DESTINATION share/applications)
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${quillmoor_resources}/hicolor/${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME quillmoor.png)
endforeach()

configure_file(${quillmoor_resources}/example.corvath.Quillmoor.metainfo.xml
               ${quillmoor_doc_build}/example.corvath.Quillmoor.metainfo.xml @ONLY)
install(FILES ${quillmoor_doc_build}/example.corvath.Quillmoor.metainfo.xml
        DESTINATION share/metainfo)

# Debian's machine-readable form, with the licence text of LICENSE after its copyright line.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE quillmoor_license)
string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]*\n\n" "" quillmoor_license "${quillmoor_license}")
string(STRIP "${quillmoor_license}" quillmoor_license)
string(REGEX REPLACE "\n\n" "\n.\n" quillmoor_license "${quillmoor_license}")
string(REGEX REPLACE "\n" "\n " quillmoor_license "${quillmoor_license}")
file(WRITE ${quillmoor_doc_build}/copyright.new
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Quillmoor
Upstream-Contact: ${CPACK_PACKAGE_CONTACT}

Files: *
Copyright: 2026 Corvath Designs
License: Expat
 ${quillmoor_license}
")
configure_file(${quillmoor_doc_build}/copyright.new ${quillmoor_doc_build}/copyright COPYONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
install(FILES ${quillmoor_doc_build}/copyright DESTINATION share/doc/quillmoor)

# Compressed as Debian wants them: at the highest level, with no time stamp.
set(quillmoor_gzipped)
foreach(pair "debian/changelog:changelog.gz" "quillmoor.1:quillmoor.1.gz")
    string(REPLACE ":" ";" pair ${pair})
    list(GET pair 0 source)
    list(GET pair 1 target)
    add_custom_command(OUTPUT ${quillmoor_doc_build}/${target}
        COMMAND gzip -9nc ${quillmoor_resources}/${source} > ${quillmoor_doc_build}/${target}
        DEPENDS ${quillmoor_resources}/${source})
    list(APPEND quillmoor_gzipped ${quillmoor_doc_build}/${target})
endforeach()
add_custom_target(quillmoor_docs ALL DEPENDS ${quillmoor_gzipped})
install(FILES ${quillmoor_doc_build}/changelog.gz DESTINATION share/doc/quillmoor)
install(FILES ${quillmoor_doc_build}/quillmoor.1.gz DESTINATION share/man/man1)
