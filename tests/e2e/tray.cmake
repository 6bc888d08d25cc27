quillmoor_script_test(e2e_tray e2e e2e/tray_test.sh)
quillmoor_script_test(e2e_sni e2e e2e/sni_test.sh)
quillmoor_script_test(e2e_host_xfce e2e e2e/hosts_test.sh xfce)
quillmoor_script_test(e2e_host_lxqt e2e e2e/hosts_test.sh lxqt)
# The same scripts where the machine offers a desktop's notification service and tray watcher.
quillmoor_script_test(e2e_desktop_services e2e e2e/desktop_test.sh launch_menu_test.sh tray_test.sh)
# GNOME Shell with its AppIndicator extension, on X and on headless Wayland.
quillmoor_script_test(e2e_gnome_x11 e2e e2e/gnome_test.sh x11)
quillmoor_script_test(e2e_gnome_wayland e2e e2e/gnome_test.sh wayland)
