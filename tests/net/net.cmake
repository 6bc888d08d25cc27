enable_language(C)
add_executable(tunhelper net/tunhelper.c)

quillmoor_script_test(net_launch_on_connect net net/launch_on_connect.sh $<TARGET_FILE:tunhelper>
                      $<TARGET_FILE:nolinkevents>)

quillmoor_unit_test(tst_connectionsource SOURCES net/tst_connectionsource.cpp LIBS quillmoor_core LABELS net)
target_compile_definitions(tst_connectionsource PRIVATE TUNHELPER="$<TARGET_FILE:tunhelper>")
add_dependencies(tst_connectionsource tunhelper)
