quillmoor_unit_test(tst_monitortrigger SOURCES unit/tst_monitortrigger.cpp LIBS quillmoor_core LABELS react)
quillmoor_unit_test(tst_launchmonitor SOURCES unit/tst_launchmonitor.cpp LIBS quillmoor_core LABELS react)
