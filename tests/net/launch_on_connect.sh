#!/usr/bin/env bash
# The program in a private network namespace starts its launch list once for each dial-up
# connection that comes up, in order and an interval apart, and never for the always-up VPN.
# Usage: launch_on_connect.sh TUNHELPER NOLINKEVENTS
source "$(dirname "$0")/netlib.sh"
net_begin "$@"
counter=$2

# expect_still N: no further start in the next two ticks, the second leaving a wrong start of
# the first time to note itself.
expect_still() {
    net_wait_ticks 2
    (($(net_count) == $1)) || net_fail "expected $1 starts, saw $(net_count)"
}

net_vpn
net_ppp
net_entries 0.3 3

echo "a connection already up when the program starts gets no pass"
net_link_up
net_start_counted "$counter"
expect_still 0

echo "an interface without an address yet is not connected"
net_link_down
net_wait_ticks 1
ip link set ppp0 up
expect_still 0

echo "the address makes the connection: one pass, in order, 0.3 s apart"
ip addr add 192.0.2.1 peer 192.0.2.2 dev ppp0
net_wait_count 3 5
net_check_pass 1 3 0.2
expect_still 3

echo "down and up again: the next connection gets its own pass"
net_link_down
net_wait_ticks 1
net_link_up
net_wait_count 6 5
net_check_pass 4 3 0.2
expect_still 6

echo "a link that drops during the pass lets the pass finish"
net_link_down
net_wait_ticks 1
net_link_up
net_wait_count 7 5
net_link_down
net_wait_count 9 5
net_check_pass 7 3 0.2
net_wait_ticks 1
net_link_up
net_wait_count 12 5
net_check_pass 10 3 0.2

echo "pppd's next interface (a new index) gets its own pass"
net_release ppp
net_wait_ticks 1
net_ppp
net_link_up
net_wait_count 15 5
net_check_pass 13 3 0.2
expect_still 15

grep -q . "$NET_DIR/program.log" && { echo "program output:"; cat "$NET_DIR/program.log"; }
echo "PASS"
