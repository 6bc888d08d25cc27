# Fault and bad-input tests, run under the sanitizers like everything else.
quillmoor_unit_test(tst_badstore SOURCES reliability/tst_badstore.cpp LIBS quillmoor_core
                    LABELS reliability)
quillmoor_unit_test(tst_killedsaves SOURCES reliability/tst_killedsaves.cpp LIBS quillmoor_gui
                    LABELS reliability)
quillmoor_unit_test(tst_passfaults SOURCES reliability/tst_passfaults.cpp LIBS quillmoor_gui
                    LABELS reliability)

# Documents open through the desktop's services, which need a real X server; the display
# numbers from 150 up keep clear of the other tests' servers.
add_executable(tst_badinput reliability/tst_badinput.cpp)
target_link_libraries(tst_badinput PRIVATE quillmoor_testsupport quillmoor_gui)
add_test(NAME tst_badinput
         COMMAND bash -c "command -v xvfb-run >/dev/null || { echo 'SKIP: xvfb-run missing'; exit 77; }; exec xvfb-run -a -n 150 \"$0\"" $<TARGET_FILE:tst_badinput>)
set_tests_properties(tst_badinput PROPERTIES
    SKIP_RETURN_CODE 77
    ENVIRONMENT "QT_QPA_PLATFORM=xcb"
    LABELS "unit;reliability")

quillmoor_script_test(reliability_trayhost reliability reliability/trayhost_test.sh)
