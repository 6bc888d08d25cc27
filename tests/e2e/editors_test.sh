#!/usr/bin/env bash
# The two editor windows on a real desktop: the launch list editor stores what was typed when
# the window manager closes it and drops its edits when the program is ended from the tray;
# the tray icon editor stores its choice at once.
source "$(dirname "$0")/lib.sh"

e2e_desktop
e2e_start_in_tray

TYPED='  /opt/Dial Tools/fetch Mail --now  '
LOST='/usr/bin/never-stored'
KEPT='/usr/bin/kept by keys'

# manual_entry EDITOR TEXT: presses "Manual" and types TEXT into the input box.
manual_entry() {
    e2e_click_at "$1" 296 16
    e2e_wait 10 "the input box" visible_window Quillmoor
    e2e_answer Quillmoor "$2"
    e2e_wait 10 "the input box to close" no_window Quillmoor
}

# Fixed-size windows: the window manager offers no maximising (openbox still draws the button,
# disabled, whatever the hints say).
not_maximisable() { # not_maximisable WINDOW NAME
    local actions
    actions=$(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS)
    [[ $actions == *_NET_WM_ACTION_CLOSE* ]] || e2e_fail "$2: no allowed actions read: $actions"
    [[ $actions != *MAXIMIZE* && $actions != *_NET_WM_ACTION_RESIZE* ]] ||
        e2e_fail "$2 can be maximised or resized: $actions"
}

stored_entry() { # stored_entry N TEXT
    grep -qxF "app $1=$2" "$(e2e_store)" 2>/dev/null
}

# "Edit Launch List", one entry typed with "Manual", then the window manager's close.
e2e_open "Edit Launch List" "Edit Application List"
editor=$(visible_window "Edit Application List")
manual_entry "$editor" "$TYPED"
sleep 0.3
e2e_screenshot configur "$editor"
not_maximisable "$editor" "the launch list editor"
[[ ! -e "$(e2e_store)" ]] || e2e_fail "the editor stored its list before it was closed"

# The item again while the editor is open brings up the same window, no second one.
# Once the program has answered, it has handled the item; windows made, mapped or not, count.
e2e_choose "Edit Launch List"
e2e_answers >/dev/null || e2e_fail "no answer after the item"
[[ $(xdotool search --name '^Edit Application List$' | wc -l) -eq 1 ]] \
    || e2e_fail "a second launch list editor opened"

e2e_close "Edit Application List"
e2e_wait 10 "the typed entry in the store" stored_entry 1 "$TYPED"
grep -q '^app 2=' "$(e2e_store)" && e2e_fail "the store holds more than the one entry"

# By keys and a screen reader: the list is named, Delete removes the selected entry and Escape
# closes the editor, which stores what is left.
e2e_open "Edit Launch List" "Edit Application List"
editor=$(visible_window "Edit Application List")
e2e_wait 10 "the list named" e2e_a11y_has 'list|Application Launch List|showing'
manual_entry "$editor" "$KEPT"
e2e_press "Edit Application List" Tab space Delete Escape
e2e_wait 10 "the rest in the store" stored_entry 1 "$KEPT"
grep -q '^app 2=' "$(e2e_store)" && e2e_fail "Delete left the entry"

# "Edit SysTray Icon": the built-in icon is chosen and stored at once.
e2e_open "Edit SysTray Icon" "Edit SysTray Icon"
icon_editor=$(visible_window "Edit SysTray Icon")
sleep 0.3
e2e_screenshot editicon "$icon_editor"
not_maximisable "$icon_editor" "the tray icon editor"
e2e_wait 10 "the preview named" e2e_a11y_has 'image|Tray icon preview|showing'
e2e_a11y_tree | grep -x 'image||showing' && e2e_fail "an image has no name"
# The first focus is on "Browse For Icon", so Tab then Return presses "Use Internal Icon".
e2e_press "Edit SysTray Icon" Tab Return
e2e_wait 10 "the icon choice in the store" grep -qxF "Icon=Internal" "$(e2e_store)"
e2e_keys Escape
e2e_wait 10 "the icon editor to close" no_window "Edit SysTray Icon"

# Edits in an open editor are dropped when the program is ended from the tray.
e2e_open "Edit Launch List" "Edit Application List"
editor=$(visible_window "Edit Application List")
manual_entry "$editor" "$LOST"
e2e_screenshot editors-before-exit
e2e_exit
stored_entry 1 "$KEPT" || e2e_fail "the stored entry changed on Exit"
grep -qF "$LOST" "$(e2e_store)" && e2e_fail "Exit stored the open editor's list"
e2e_no_faults
echo "PASS: editors"
