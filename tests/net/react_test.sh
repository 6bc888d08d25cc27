#!/usr/bin/env bash
# The program reacts to the kernel's link events at once: a link that drops and comes back
# within a second is a new connection and gets its own pass, which the once-a-second probe
# alone would miss. Without the events, the probe alone still starts the list.
# Usage: react_test.sh TUNHELPER NOLINKEVENTS
source "$(dirname "$0")/netlib.sh"
net_begin "$@"
no_events=$2
[[ -f "$no_events" ]] || net_fail "the preload library is not at $no_events"

# The program's routing sockets that are subscribed to event groups.
subscribed_sockets() {
    local inodes
    inodes=$(find /proc/"$NET_PROGRAM_PID"/fd -lname 'socket:*' -printf '%l\n' 2>/dev/null |
        tr -dc '0-9\n' | sort -u)
    awk 'NR > 1 && $2 == 0 && $4 != "00000000" { print $NF }' /proc/net/netlink |
        sort -u | comm -12 - <(echo "$inodes")
}

# connect_and_time: brings ppp0 up with its address and prints the time from the address to
# the first start of the pass, in milliseconds.
connect_and_time() {
    local before t0
    before=$(net_count)
    ip link set ppp0 up
    t0=$EPOCHREALTIME
    ip addr add 192.0.2.1 peer 192.0.2.2 dev ppp0
    net_wait_count $((before + 2)) 5
    awk -v a="$t0" -v b="$(net_start_time $((before + 1)))" 'BEGIN { printf "%.0f", (b - a) * 1000 }'
}

stop_program() {
    kill "$NET_PROGRAM_PID"
    wait "$NET_PROGRAM_PID" 2>/dev/null || true
    NET_PROGRAM_PID=""
}

net_vpn
net_ppp
net_entries 0.1 2

echo "with the link events"
net_start_counted "$no_events"
net_wait_ticks 1
[[ -n "$(subscribed_sockets)" ]] || net_fail "the program does not listen for link events"
delays=()
for round in 1 2 3; do
    delays+=("$(connect_and_time)")
    net_link_down
    sleep 0.3
done
echo "address to first start: ${delays[*]} ms"

echo "a link that drops and comes back within a second gets its own pass, every time"
for round in 1 2 3 4 5; do
    # The pass is over and later ticks have seen the link up: only its drop can clear the latch.
    net_wait_ticks 1
    before=$(net_count)
    net_link_down
    sleep 0.$((round % 3 + 1))
    net_link_up
    net_wait_count $((before + 2)) 5
done
count=$(net_count)
net_wait_ticks 2
(($(net_count) == count)) || net_fail "a connection got more than one pass"
stop_program
net_link_down

echo "without the link events the probe alone starts the list"
rm -f "$NET_DIR/starts.log"
net_start_counted "$no_events" none
net_wait_ticks 1
[[ -z "$(subscribed_sockets)" ]] || net_fail "the preload did not take the link events away"
echo "address to first start by the probe alone: $(connect_and_time) ms"
net_wait_ticks 2
(($(net_count) == 2)) || net_fail "expected one pass, saw $(net_count) starts"

grep -q . "$NET_DIR/program.log" && { echo "program output:"; cat "$NET_DIR/program.log"; }
echo "PASS"
