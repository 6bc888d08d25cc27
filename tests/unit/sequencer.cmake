quillmoor_unit_test(tst_launchtext SOURCES unit/tst_launchtext.cpp LIBS quillmoor_core LABELS sequencer)
quillmoor_unit_test(tst_launchsequencer SOURCES unit/tst_launchsequencer.cpp LIBS quillmoor_core LABELS sequencer)
quillmoor_unit_test(tst_desktopstarter SOURCES unit/tst_desktopstarter.cpp LIBS quillmoor_gui
                    LABELS sequencer X_DISPLAY 140)
quillmoor_unit_test(tst_menuelaunch SOURCES unit/tst_menuelaunch.cpp LIBS quillmoor_gui LABELS sequencer)
