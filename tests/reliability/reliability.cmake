# Fault and bad-input tests, run under the sanitizers like everything else.
quillmoor_unit_test(tst_badstore SOURCES reliability/tst_badstore.cpp LIBS quillmoor_core
                    LABELS reliability)
quillmoor_unit_test(tst_killedsaves SOURCES reliability/tst_killedsaves.cpp LIBS quillmoor_gui
                    LABELS reliability)
quillmoor_unit_test(tst_passfaults SOURCES reliability/tst_passfaults.cpp LIBS quillmoor_gui
                    LABELS reliability)
quillmoor_unit_test(tst_badinput SOURCES reliability/tst_badinput.cpp LIBS quillmoor_gui
                    LABELS reliability X_DISPLAY 150)

quillmoor_script_test(reliability_trayhost reliability reliability/trayhost_test.sh)
