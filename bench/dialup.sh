#!/usr/bin/env bash
# Figures that need a dial-up link, in a private network namespace: what one probe costs while
# ppp0 is connected, and how long after ppp0 gets its address the first entry starts.
# Usage: dialup.sh TUNHELPER BENCH_PROBE [ROUNDS]
source "$(dirname "$0")/../tests/net/netlib.sh"
net_begin "$@"
probe=$2
rounds=${3:-5}

net_vpn
net_ppp
net_link_up
"$probe" 5000

net_entries 0 1
net_start_program
sleep 1.5
delays=()
for round in $(seq "$rounds"); do
    net_link_down
    # A varying wait, so that the address comes at other points of the once-a-second probe.
    sleep "1.$((round * 17 % 10))"
    ip link set ppp0 up
    before=$(net_count)
    t0=$(net_now)
    ip addr add 192.0.2.1 peer 192.0.2.2 dev ppp0
    net_wait_count $((before + 1)) 5
    delays+=("$(awk -v a="$t0" -v b="$(net_start_time $((before + 1)))" 'BEGIN { printf "%.3f", b - a }')")
done
printf 'address to first start: %s s (mean %s s; the probe runs once a second)\n' "${delays[*]}" \
    "$(printf '%s\n' "${delays[@]}" | awk '{ s += $1 } END { printf "%.3f", s / NR }')"
