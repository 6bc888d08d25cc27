enable_language(C)
add_executable(tunhelper net/tunhelper.c)

quillmoor_script_test(net_launch_on_connect net net/launch_on_connect.sh $<TARGET_FILE:tunhelper>)
