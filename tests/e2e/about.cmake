quillmoor_script_test(e2e_about e2e e2e/about_test.sh)
