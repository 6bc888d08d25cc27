#!/usr/bin/env bash
# The program in a private network namespace starts its launch list once for each dial-up
# connection that comes up, in order and an interval apart, and never for the always-up VPN.
# Usage: launch_on_connect.sh TUNHELPER NOLINKEVENTS
source "$(dirname "$0")/netlib.sh"
net_begin "$@"
counter=$2

# Lines FIRST..FIRST+2 of the log are entry1..entry3, each about 0.3 s after the last. The times
# are taken by the scripts, so a slow start of one of them may shift its time a little.
check_pass() {
    local first=$1 k
    for k in 0 1 2; do
        local line
        line=$(sed -n "$((first + k))p" "$NET_DIR/starts.log")
        [[ "${line%% *}" == "entry$((k + 1))" ]] || net_fail "start $((first + k)) is '$line'"
    done
    awk -v a="$(net_start_time "$first")" -v b="$(net_start_time $((first + 1)))" \
        -v c="$(net_start_time $((first + 2)))" \
        'BEGIN { exit !(b - a >= 0.2 && c - b >= 0.2 && b - a < 1 && c - b < 1) }' ||
        net_fail "the starts from line $first are not 0.3 s apart"
}

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
check_pass 1
expect_still 3

echo "down and up again: the next connection gets its own pass"
net_link_down
net_wait_ticks 1
net_link_up
net_wait_count 6 5
check_pass 4
expect_still 6

echo "a link that drops during the pass lets the pass finish"
net_link_down
net_wait_ticks 1
net_link_up
net_wait_count 7 5
net_link_down
net_wait_count 9 5
check_pass 7
net_wait_ticks 1
net_link_up
net_wait_count 12 5
check_pass 10

echo "pppd's next interface (a new index) gets its own pass"
net_release ppp
net_wait_ticks 1
net_ppp
net_link_up
net_wait_count 15 5
check_pass 13
expect_still 15

grep -q . "$NET_DIR/program.log" && { echo "program output:"; cat "$NET_DIR/program.log"; }
echo "PASS"
