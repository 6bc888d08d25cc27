# NetworkManager as a source of connections, with python-dbusmock standing in for it.
quillmoor_unit_test(tst_networkmanager SOURCES nm/tst_networkmanager.cpp LIBS quillmoor_core
                    LABELS nm)
target_compile_definitions(tst_networkmanager PRIVATE
    NMMOCK="${CMAKE_CURRENT_SOURCE_DIR}/nm/nmmock.py"
    QUILLMOOR_BUS_CONF="${CMAKE_CURRENT_SOURCE_DIR}/support/session-bus.conf"
    TUNHELPER="$<TARGET_FILE:tunhelper>")
add_dependencies(tst_networkmanager tunhelper)

# The preload that counts the program's looks at the PPP links comes from net/react.cmake.
quillmoor_script_test(nm_e2e e2e nm/nm_e2e_test.sh $<TARGET_FILE:nolinkevents>)
