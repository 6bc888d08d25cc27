quillmoor_script_test(e2e_launch_menu e2e e2e/launch_menu_test.sh)
quillmoor_script_test(e2e_entries e2e e2e/entries_test.sh)
