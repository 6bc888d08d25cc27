quillmoor_script_test(e2e_editors e2e e2e/editors_test.sh)
