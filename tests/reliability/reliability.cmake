# Fault and bad-input tests, run under the sanitizers like everything else.
quillmoor_unit_test(tst_badstore SOURCES reliability/tst_badstore.cpp LIBS quillmoor_core
                    LABELS reliability)
quillmoor_unit_test(tst_killedsaves SOURCES reliability/tst_killedsaves.cpp LIBS quillmoor_gui
                    LABELS reliability)
quillmoor_unit_test(tst_passfaults SOURCES reliability/tst_passfaults.cpp LIBS quillmoor_gui
                    LABELS reliability)
