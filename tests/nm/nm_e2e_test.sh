#!/usr/bin/env bash
# The program in a real tray with a NetworkManager (python-dbusmock) on its system bus: a mobile
# broadband connection that becomes activated starts the launch list once, and again only after
# it has been taken down and activated anew, however quickly. Wi-Fi never starts it.
source "$(dirname "$0")/nmlib.sh"
# lib.sh, the launch list, its starts and the program's looks at the PPP links (made while
# NetworkManager lists no dial-up connection), as the network tests have them.
# Usage: nm_e2e_test.sh NOLINKEVENTS
source "$QUILLMOOR_SOURCE/tests/net/netlib.sh"
nm_need
e2e_begin
NET_DIR=$E2E_DIR
nm_bus "$E2E_DIR"
E2E_PIDS+=("$NM_BUS_PID")
nm_start
E2E_PIDS+=("$NM_MOCK_PID")
mkdir -p "$(dirname "$(e2e_store)")"
net_entries 0.3 2

# starts N: exactly N starts so far. A start that should not have come shows at the next of
# these, and at the latest once Exit has ended the program.
starts() {
    (($(net_count) == $1)) || e2e_fail "expected $1 starts, saw $(net_count)"
}
no_error_box() {
    no_window 'Error!' || e2e_fail "an error box is open"
}
e2e_start_tray
net_start_counted "$1"
E2E_PROGRAM_PID=$NET_PROGRAM_PID
E2E_PIDS+=("$E2E_PROGRAM_PID")
e2e_wait 20 "the icon in the tray" e2e_icon_window

echo "Wi-Fi coming up starts nothing"
nm add wifi 802-11-wireless 2

echo "a mobile connection still being set up starts nothing"
nm add mobile gsm 1

echo "activated: the list starts once, in order"
nm state mobile 2
net_wait_count 2 10
net_check_pass 1 2
starts 2
no_error_box
e2e_screenshot nm-connected

echo "taken down and activated anew: one more pass"
nm remove mobile
# Two ticks that find no connection at NetworkManager and look at the PPP links.
net_wait_ticks 2
starts 2
nm add mobile2 gsm 2
net_wait_count 4 10
net_check_pass 3 2
starts 4
no_error_box

echo "dropped and activated again at once: NetworkManager's signals tick before the timer does"
# Not within the pass, which holds its connection, and after a tick has seen it up; no tick
# shows while NetworkManager lists a connection, so this one waits its time.
sleep 1.5
nm remove mobile2
nm add mobile3 gsm 2
net_wait_count 6 10
net_check_pass 5 2
starts 6
no_error_box

echo "Exit ends the program cleanly while it listens to the bus"
e2e_exit
starts 6
e2e_no_faults

grep -q . "$E2E_DIR/program.log" && { echo "program output:"; cat "$E2E_DIR/program.log"; }
echo "PASS"
