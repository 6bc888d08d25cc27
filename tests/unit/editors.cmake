quillmoor_unit_test(tst_centerposition SOURCES unit/tst_centerposition.cpp LIBS quillmoor_core)
quillmoor_unit_test(tst_configur SOURCES unit/tst_configur.cpp LIBS quillmoor_gui)
quillmoor_unit_test(tst_editicon SOURCES unit/tst_editicon.cpp LIBS quillmoor_gui)
quillmoor_unit_test(tst_editorwindows SOURCES unit/tst_editorwindows.cpp LIBS quillmoor_gui)
