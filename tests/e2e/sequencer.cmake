quillmoor_script_test(e2e_launch_menu e2e e2e/launch_menu_test.sh)
