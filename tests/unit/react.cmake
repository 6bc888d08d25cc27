quillmoor_unit_test(tst_monitortrigger SOURCES unit/tst_monitortrigger.cpp LIBS quillmoor_core LABELS react)
quillmoor_unit_test(tst_menuereact SOURCES unit/tst_menuereact.cpp LIBS quillmoor_core LABELS react)
