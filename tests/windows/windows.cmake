# The Windows back end, cross-built with mingw-w64 (its own CMake project in this folder) and
# run under Wine. Skipped when mingw-w64 or Wine is missing.
quillmoor_script_test(windows_backend windows windows/windows_test.sh)
# The longest tests go first (COST), so that on a fresh clone, with no timings kept yet, they do
# not run alone at the end.
set_tests_properties(windows_backend PROPERTIES TIMEOUT 1200 COST 130)

# The whole program, built with Qt for MinGW (scripts/qt-windows.sh) and used under Wine with a
# tray host. Skipped when no such Qt is at hand. Where the host's Qt tools are not that Qt's
# version, the first run also builds its own (about 10 minutes).
quillmoor_script_test(windows_program windows windows/program_test.sh)
set_tests_properties(windows_program PROPERTIES TIMEOUT 2100 COST 200)
