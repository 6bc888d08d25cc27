#!/usr/bin/env bash
# Figures that need a dial-up link, in a private network namespace: what one probe costs while
# ppp0 is connected, and the delay from ppp0 getting its address to the first entry's start
# over a number of connections, with the link events and, as the reference, with the
# once-a-second probe alone (the events taken away by a preload).
# Usage: dialup.sh TUNHELPER BENCH_PROBE STAMP NOLINKEVENTS [CONNECTIONS]
source "$(dirname "$0")/../tests/net/netlib.sh"
net_begin "$@"
probe=$2
stamp=$3
no_events=$4
connections=${5:-20}

net_vpn
net_ppp
net_link_up
"$probe" 5000 | sed 's/^/probe   /'
net_link_down

# One entry, at interval 0: a compiled program that notes the time of its own start.
printf '[Main]\nInterval=0\napp 1=%s %s entry1\n' "$stamp" "$NET_DIR/starts.log" \
    >"$XDG_CONFIG_HOME/quillmoor/61027.ini"

# reaction LABEL: prints the median and maximum delay over the connections, in ms.
reaction() {
    local label=$1 delays=() round before t0
    rm -f "$NET_DIR/starts.log"
    net_start_program
    sleep 1.5
    for round in $(seq "$connections"); do
        net_link_down
        # Long enough for the probe alone to see the drop; varied, so that the address comes
        # at other points of its second.
        sleep "1.$((round * 37 % 10))"
        ip link set ppp0 up
        before=$(net_count)
        t0=$EPOCHREALTIME
        ip addr add 192.0.2.1 peer 192.0.2.2 dev ppp0
        net_wait_count $((before + 1)) 5
        delays+=("$(awk -v a="$t0" -v b="$(net_start_time $((before + 1)))" \
            'BEGIN { printf "%.1f", (b - a) * 1000 }')")
    done
    kill "$NET_PROGRAM_PID"
    wait "$NET_PROGRAM_PID" 2>/dev/null || true
    NET_PROGRAM_PID=""
    printf '%s\n' "${delays[@]}" | sort -n | awk -v label="$label" -v n="$connections" '
        { v[NR] = $1 }
        END { printf "%s median %7.1f ms, max %7.1f ms over %d connections\n",
              label, (n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2), v[n], n }'
}

reaction "react   address to first start, link events:          "
LD_PRELOAD=$no_events reaction "react   reference: once-a-second probe alone:          "
echo "react   goal: median below 50 ms"
