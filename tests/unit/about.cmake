quillmoor_unit_test(tst_startupentry SOURCES unit/tst_startupentry.cpp LIBS quillmoor_core)
quillmoor_unit_test(tst_readme SOURCES unit/tst_readme.cpp LIBS quillmoor_gui)
