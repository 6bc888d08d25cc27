# The tun helper comes from net.cmake.
quillmoor_unit_test(tst_linkevents SOURCES net/tst_linkevents.cpp LIBS quillmoor_core LABELS "net;react")
target_compile_definitions(tst_linkevents PRIVATE TUNHELPER="$<TARGET_FILE:tunhelper>")
add_dependencies(tst_linkevents tunhelper)
