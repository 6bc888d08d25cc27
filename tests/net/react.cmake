# The tun helper comes from net.cmake.
quillmoor_unit_test(tst_linkevents SOURCES net/tst_linkevents.cpp LIBS quillmoor_core LABELS "net;react")
target_compile_definitions(tst_linkevents PRIVATE TUNHELPER="$<TARGET_FILE:tunhelper>")
add_dependencies(tst_linkevents tunhelper)

# Takes the link events away from the program, to show that polling alone still works, and
# counts its looks at the connections for the network tests to wait on.
add_library(nolinkevents MODULE net/nolinkevents.c)
target_link_libraries(nolinkevents PRIVATE ${CMAKE_DL_LIBS})
# It defines the C library's own bind and sendto, whose declarations ISO C reads as other types.
target_compile_options(nolinkevents PRIVATE -Wno-pedantic)
quillmoor_script_test(net_react net net/react_test.sh $<TARGET_FILE:tunhelper>
                      $<TARGET_FILE:nolinkevents>)
set_property(TEST net_react APPEND PROPERTY LABELS react)
