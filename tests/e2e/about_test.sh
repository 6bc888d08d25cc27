#!/usr/bin/env bash
# The whole tray menu on a real desktop, with the start-up entry, the About box and the
# read-me looked at closely: what lands on disk, what the desktop is asked to open, what
# programs start, and how the About box looks.
source "$(dirname "$0")/lib.sh"

origin_is() { [[ $(e2e_window_origin "$1") == "$2" ]]; }

opened_contains() {
    grep -qxF "$1" "$E2E_DIR/opened" 2>/dev/null
}

e2e_desktop

# Stand-ins for the desktop's opener and for a system information program.
fake="$E2E_DIR/fakebin"
mkdir -p "$fake"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s/opened"\n' "$E2E_DIR" >"$fake/xdg-open"
printf '#!/bin/sh\ndate +%%s.%%N >> "%s/sysinfo"\n' "$E2E_DIR" >"$fake/hardinfo"
chmod +x "$fake/xdg-open" "$fake/hardinfo"
export PATH="$fake:$PATH"
e2e_viewer

maker_url=$(sed -n 's/^QUILLMOOR_MAKER_URL:[A-Z]*=//p' "$QUILLMOOR_BUILD/CMakeCache.txt")
[[ -n "$maker_url" ]] || e2e_fail "no QUILLMOOR_MAKER_URL in the build's cache"
program=$(readlink -f "$QUILLMOOR_BIN")
entry="$XDG_CONFIG_HOME/autostart/quillmoor.desktop"

e2e_start_in_tray

# Add To Startup: the autostart entry names this program.
e2e_choose "Add To Startup"
e2e_wait 10 "the autostart entry" test -s "$entry"
grep -qxF "Exec=$program" "$entry" || grep -qxF "Exec=\"$program\"" "$entry" \
    || e2e_fail "the entry does not name $program: $(cat "$entry")"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || e2e_fail "the autostart entry does not validate"
fi

# Remove From Startup: gone, and removing it again is no error (counted at the next error box).
e2e_choose "Remove From Startup"
e2e_wait 10 "the autostart entry to go" test ! -e "$entry"
e2e_choose "Remove From Startup"

# A folder that cannot be made: the failure is shown, not swallowed.
rm -rf "$XDG_CONFIG_HOME/autostart"
echo "not a folder" >"$XDG_CONFIG_HOME/autostart"
e2e_choose "Add To Startup"
e2e_wait 10 "the error message" visible_window Error
[[ $(window_count Error) -eq 1 ]] || e2e_fail "removing an entry that was gone showed an error"
e2e_screenshot startup-error "$(visible_window Error)"
e2e_press Error Return
e2e_wait 10 "the error message to close" no_window Error
rm -f "$XDG_CONFIG_HOME/autostart"

# About: centred, drawn, one window however often it is chosen.
e2e_choose "About"
e2e_wait 10 "the About box" visible_window "About Quillmoor 1.0"
box=$(visible_window "About Quillmoor 1.0")
# A screen reader names every picture and keeps quiet about the warning nobody sees.
e2e_wait 10 "the icon named" e2e_a11y_has 'image|Quillmoor icon|showing'
e2e_screenshot about "$box"
e2e_a11y_tree | grep -xE 'image\|\|showing|label\|Warning: \.\.\.\|showing' && e2e_fail "read out"
read -r width height < <(e2e_window_size "$box")
[[ "$width x $height" == "332 x 207" ]] || e2e_fail "the About box is $width x $height"
read -r x y < <(e2e_window_origin "$box")
# The screen is 1024 x 768 with the tray's 32-pixel panel along the top.
((x + 166 > 512 - 12 && x + 166 < 512 + 12)) || e2e_fail "not centred across: x=$x"
((y + 103 > 400 - 30 && y + 103 < 400 + 30)) || e2e_fail "not centred down: y=$y"
# Neither minimize nor maximize is offered to the window manager, and the size is fixed.
functions=$(xprop -id "$box" _MOTIF_WM_HINTS | awk -F'[=,]' '{ print $3 }')
(((functions & 0x18) == 0)) || e2e_fail "the About box offers minimize or maximize: $functions"
xprop -id "$box" WM_NORMAL_HINTS | grep -q 'program specified maximum size: 332 by 207' \
    || e2e_fail "the About box can be resized"

placed=$(e2e_window_origin "$box")
e2e_move "$box" 40 120
e2e_wait 10 "the box to move" e2e_not origin_is "$box" "$placed"
read -r moved_x moved_y < <(e2e_window_origin "$box")
e2e_choose "About"
# Once the program has answered, it has handled the item.
e2e_answers >/dev/null || e2e_fail "no answer after the item"
[[ $(window_count "About Quillmoor 1.0") -eq 1 ]] || e2e_fail "a second About box opened"
[[ "$(e2e_window_origin "$box")" == "$moved_x $moved_y" ]] || e2e_fail "About again moved the box"

# From OK, Tab Tab reaches "Visit Corvath Designs"; Alt+S is "System Info...".
e2e_press "About Quillmoor 1.0" Tab Tab Return
e2e_wait 10 "the maker's page" opened_contains "$maker_url"
e2e_keys alt+s
e2e_wait 10 "the system information program" test -s "$E2E_DIR/sysinfo"
visible_window "About Quillmoor 1.0" >/dev/null || e2e_fail "the About box closed"
e2e_keys Escape
e2e_wait 10 "Esc to close the About box" no_window "About Quillmoor 1.0"

# Afresh after closing: centred again.
e2e_choose "About"
e2e_wait 10 "the About box again" visible_window "About Quillmoor 1.0"
read -r x y < <(e2e_window_origin "$(visible_window "About Quillmoor 1.0")")
((x + 166 > 512 - 12 && x + 166 < 512 + 12)) || e2e_fail "the new box is not centred: x=$x"
e2e_keys Return
e2e_wait 10 "Enter to close the About box" no_window "About Quillmoor 1.0"

# Read Me!!: the readme.txt beside the program goes to the desktop's opener.
e2e_choose "Read Me!!"
e2e_wait 10 "the read-me" opened_contains "$(dirname "$program")/readme.txt"

# The rest of the menu answers too, item by item in the menu's order.
for item in "${E2E_MENU[@]}"; do
    case $item in
    "Edit Launch List")
        e2e_choose "$item"
        e2e_wait 10 "the launch list editor" visible_window "Edit Application List"
        e2e_close "Edit Application List" ;;
    Activate)
        e2e_choose "$item"
        e2e_choose "$item" ;;
    "Set Launch Interval")
        e2e_choose "$item"
        e2e_wait 10 "the interval question" visible_window Quillmoor
        e2e_press Quillmoor Escape
        e2e_wait 10 "the interval question to close" no_window Quillmoor ;;
    "Launch Now") e2e_choose "$item" ;;
    "Edit SysTray Icon")
        e2e_choose "$item"
        e2e_wait 10 "the tray icon editor" visible_window "Edit SysTray Icon"
        e2e_close "Edit SysTray Icon" ;;
    "Add To Startup" | "Remove From Startup" | About | "Read Me!!" | Exit) ;; # above and below
    *) e2e_fail "no check for the menu's item \"$item\"" ;;
    esac
done
[[ ! -e "$(e2e_store)" ]] || e2e_fail "the settings store was written: $(cat "$(e2e_store)")"

# Exit.
e2e_exit
e2e_no_faults
echo "PASS: about"
