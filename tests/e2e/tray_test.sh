#!/usr/bin/env bash
# The program in a real tray: its icon is embedded once the host comes up, also beside a
# StatusNotifierWatcher without a host and after a host that registered with the watcher once the
# program ran has gone, each button opens the menu, a second instance adds no icon, the host can
# go away and come back, a host registering with the watcher takes the icon and gives it back,
# and "Exit" ends it with status 0. Events are ordered, never timed: watcher, program, host, tray.
source "$(dirname "$0")/lib.sh"
e2e_begin
# How often the program offered its item to the watcher; whether trayer holds no icon.
offers() { grep -c RegisterStatusNotifierItem "$E2E_DIR/watcher.log"; }
offered_since() { (($(offers) > $1)); }
no_icon() { (($(e2e_icon_count) == 0)); }
# A watcher without a host shows no item: the icon must go to trayer all the same.
/usr/bin/python3 -c 'import dbusmock' 2>/dev/null || e2e_skip "python3-dbusmock is not installed"
e2e_bare_watcher
# At log-in the tray host may come up after the program: the icon shows as soon as it does.
e2e_start_program
e2e_wait 20 "the program to answer, its tray set up" e2e_answers
kill -0 "$E2E_PROGRAM_PID" || e2e_fail "the program ended without a tray host"
# A panel's host registers after the program started: the item goes to it. Then the panel goes
# while trayer runs: the icon docks there.
e2e_watcher_host Registered true >/dev/null
e2e_wait 10 "the item offered" grep -q RegisterStatusNotifierItem "$E2E_DIR/watcher.log"
e2e_start_tray
e2e_watcher_host Unregistered false >/dev/null
e2e_wait 20 "the icon in the tray" e2e_icon_window
[[ $(e2e_icon_count) -eq 1 ]] || e2e_fail "expected one icon"

for button in 1 2 3; do
    e2e_click_icon "$button"
    e2e_wait 5 "the menu after button $button" e2e_menu_window
    [[ $button -eq 3 ]] && e2e_screenshot tray-menu
    e2e_keys Escape
    e2e_wait 5 "the menu to close" e2e_no_menu
done

# A second instance says so and leaves.
"$QUILLMOOR_BIN" >"$E2E_DIR/second.log" 2>&1 &
second=$!
E2E_PIDS+=($second)
# Its box says it got as far as the check.
e2e_wait 20 "the second instance's box" xdotool search --onlyvisible --pid "$second"
[[ $(e2e_icon_count) -eq 1 ]] || e2e_fail "a second instance added an icon"
kill -0 "$second" 2>/dev/null || e2e_fail "the second instance ended before saying why"
e2e_keys Return
wait "$second" || e2e_fail "the second instance did not end cleanly"
[[ $(e2e_icon_count) -eq 1 ]] || e2e_fail "the first icon went away"

# The tray host goes away and comes back: the program stays and its icon returns.
icon=$(e2e_icon_window)
e2e_stop_tray
e2e_wait 10 "the icon to go with the host" e2e_not xwininfo -id "$icon"
e2e_wait 10 "the program to answer after the host went" e2e_answers
kill -0 "$E2E_PROGRAM_PID" || e2e_fail "the program ended with the tray host"
e2e_start_tray
e2e_wait 20 "the icon to return" e2e_icon_window

# A host comes to the watcher: the item is offered to it instead; it goes: the icon is back.
offered=$(offers)
e2e_watcher_host Registered true >/dev/null
e2e_wait 10 "the item offered again" offered_since "$offered"
e2e_wait 10 "trayer's icon to go" no_icon
e2e_watcher_host Unregistered false >/dev/null
e2e_wait 10 "the icon back in trayer" e2e_icon_window

e2e_exit
[[ $(e2e_icon_count) -eq 0 ]] || e2e_fail "the icon stayed in the tray"
[[ ! -e "$(e2e_store)" ]] || e2e_fail "Exit wrote the settings store"
e2e_no_faults

# A panel still loading: its host registered before the program listened, and it does not
# answer the program's first question. The icon docks in trayer, then goes to the host once the
# panel answers.
watcher=$(e2e_bus -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.GetConnectionUnixProcessID org.kde.StatusNotifierWatcher |
    tr -dc '0-9 ' | awk '{ print $2 }')
e2e_watcher_host Registered true >/dev/null
offered=$(offers)
kill -STOP "$watcher"
e2e_start_program
e2e_wait 20 "the icon in trayer beside the silent watcher" e2e_icon_window
kill -CONT "$watcher"
e2e_wait 20 "the item offered to the late host" offered_since "$offered"
e2e_wait 10 "trayer's icon to go to the late host" no_icon
e2e_sni_click Exit
wait "$E2E_PROGRAM_PID" || e2e_fail "Exit in the host's menu ended the program with status $?"
e2e_no_faults
echo "PASS: tray"
