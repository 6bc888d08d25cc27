#!/usr/bin/env bash
# Figures that need a dial-up link, in a private network namespace: what one probe costs while
# ppp0 is connected, and the delay from ppp0 getting its address to the first entry's start
# over a number of connections, with the link events and, as the reference, with the
# once-a-second probe alone (the events taken away by a preload). The delay runs from the
# kernel's address event (inside addaddr's sendmsg) to the entry's first instruction.
# Usage: dialup.sh TUNHELPER BENCH_PROBE STAMP NOLINKEVENTS ADDADDR [CONNECTIONS]
source "$(dirname "$0")/../tests/net/netlib.sh"
net_begin "$@"
probe=$2
stamp=$3
no_events=$4
addaddr=$5
connections=${6:-200}
# The probe alone waits up to a second each time: fewer rounds tell its figure well enough.
reference_connections=$((connections < 20 ? connections : 20))

net_vpn
net_ppp
net_link_up
"$probe" 5000 | sed 's/^/probe   /'
net_link_down

# One entry, at interval 0: a compiled program that notes the time of its own start.
printf '[Main]\nInterval=0\napp 1=%s %s entry1\n' "$stamp" "$NET_DIR/starts.log" \
    >"$XDG_CONFIG_HOME/quillmoor/61027.ini"

# reaction LABEL CONNECTIONS DOWN: prints the median, 90th percentile and maximum delay, in ms,
# with ppp0 down for DOWN and some tenths of a second before each connection.
reaction() {
    local label=$1 count=$2 down=$3 delays=() spans=() round before t0 t1
    rm -f "$NET_DIR/starts.log"
    net_start_program
    sleep 1.5
    for round in $(seq "$count"); do
        net_link_down
        # Long enough for the program to see the drop; varied, so that the address comes at
        # other points of the probe's second.
        sleep "$down.$((round * 37 % 10))"
        ip link set ppp0 up
        before=$(net_count)
        read -r t0 t1 < <("$addaddr" ppp0 192.0.2.1 192.0.2.2) || net_fail "addaddr failed"
        net_wait_count $((before + 1)) 5
        delays+=("$(awk -v a="$t0" -v b="$(net_start_time $((before + 1)))" \
            'BEGIN { printf "%.3f", (b - a) * 1000 }')")
        spans+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) * 1000 }')")
    done
    kill "$NET_PROGRAM_PID"
    wait "$NET_PROGRAM_PID" 2>/dev/null || true
    NET_PROGRAM_PID=""
    local span
    span=$(printf '%s\n' "${spans[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
    printf '%s\n' "${delays[@]}" | sort -n | awk -v label="$label" -v n="$count" -v span="$span" '
        { v[NR] = $1 }
        END { p90 = int(0.9 * n + 0.999)
              printf "%s median %7.2f ms, 90%% %7.2f ms, max %7.2f ms over %d connections " \
                     "(sendmsg %.3f ms)\n",
                     label, (n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2), v[p90],
                     v[n], n, span }'
}

reaction "react   address event to first exec, link events:    " "$connections" 0
LD_PRELOAD=$no_events reaction "react   reference: once-a-second probe alone:       " \
    "$reference_connections" 1
echo "react   goal: median at most 1 ms"
