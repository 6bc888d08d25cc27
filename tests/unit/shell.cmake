# The menu's export to tray hosts is read straight from the exporter; no bus needed.
find_package(Qt6 REQUIRED COMPONENTS DBus)
quillmoor_unit_test(tst_menue SOURCES unit/tst_menue.cpp LIBS quillmoor_gui Qt6::DBus)
