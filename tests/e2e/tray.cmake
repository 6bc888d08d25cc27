quillmoor_script_test(e2e_tray e2e e2e/tray_test.sh)
