quillmoor_unit_test(tst_menue SOURCES unit/tst_menue.cpp LIBS quillmoor_gui)
