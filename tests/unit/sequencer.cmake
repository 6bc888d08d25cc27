quillmoor_unit_test(tst_launchtext SOURCES unit/tst_launchtext.cpp LIBS quillmoor_core LABELS sequencer)
quillmoor_unit_test(tst_launchsequencer SOURCES unit/tst_launchsequencer.cpp LIBS quillmoor_core LABELS sequencer)

# Documents open through the desktop's services, which need a real X server; the display
# numbers from 140 up keep clear of the end-to-end tests' servers.
add_executable(tst_desktopstarter unit/tst_desktopstarter.cpp)
target_link_libraries(tst_desktopstarter PRIVATE quillmoor_testsupport quillmoor_gui)
add_test(NAME tst_desktopstarter
         COMMAND bash -c "command -v xvfb-run >/dev/null || { echo 'SKIP: xvfb-run missing'; exit 77; }; exec xvfb-run -a -n 140 \"$0\"" $<TARGET_FILE:tst_desktopstarter>)
set_tests_properties(tst_desktopstarter PROPERTIES
    SKIP_RETURN_CODE 77
    ENVIRONMENT "QT_QPA_PLATFORM=xcb"
    LABELS "unit;sequencer")
quillmoor_unit_test(tst_menuelaunch SOURCES unit/tst_menuelaunch.cpp LIBS quillmoor_gui LABELS sequencer)
