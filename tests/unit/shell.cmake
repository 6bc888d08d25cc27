# The menu's export to tray hosts is read straight from the exporter; no bus needed.
find_package(Qt6 REQUIRED COMPONENTS DBus)
quillmoor_unit_test(tst_menue SOURCES unit/tst_menue.cpp LIBS quillmoor_gui)
quillmoor_unit_test(tst_statusnotifier SOURCES unit/tst_statusnotifier.cpp LIBS quillmoor_gui Qt6::DBus)
# The icon a tray host gets is the same at twice the scale.
add_test(NAME tst_statusnotifier_scale2 COMMAND tst_statusnotifier hostGetsIconBytesInNetworkOrder)
set_tests_properties(tst_statusnotifier_scale2 PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=2" LABELS unit)
