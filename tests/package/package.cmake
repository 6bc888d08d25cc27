quillmoor_script_test(package_deb package package/deb_test.sh)
