quillmoor_unit_test(tst_startupentry SOURCES unit/tst_startupentry.cpp LIBS quillmoor_core)
quillmoor_unit_test(tst_readme SOURCES unit/tst_readme.cpp support/urlrecorder.h LIBS quillmoor_gui)
quillmoor_unit_test(tst_frmabout SOURCES unit/tst_frmabout.cpp support/urlrecorder.h LIBS quillmoor_gui)
target_compile_definitions(tst_frmabout PRIVATE QUILLMOOR_MAKER_URL="${QUILLMOOR_MAKER_URL}")
