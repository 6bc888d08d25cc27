# Shared by the network tests and the benchmarks: the real program in a private network
# namespace, with a plain tun wg0 that is always up and a tun ppp0 with the PPP link type that
# the script brings up and down. Only documentation addresses; no traffic is sent.
# Source it, then call net_begin HELPER "$@"; everything started is stopped when the script exits.

set -euo pipefail
# Its skip and wait helpers.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"

NET_DIR=""
NET_PROGRAM_PID=""
declare -A NET_HOLDERS=()

net_fail() {
    echo "FAIL: $*" >&2
    [[ -n "$NET_DIR" && -f "$NET_DIR/starts.log" ]] && cat "$NET_DIR/starts.log" >&2
    exit 1
}

net_cleanup() {
    [[ -n "$NET_PROGRAM_PID" ]] && kill "$NET_PROGRAM_PID" 2>/dev/null || true
    local name
    for name in "${!NET_HOLDERS[@]}"; do
        kill "${NET_HOLDERS[$name]}" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    [[ -n "$NET_DIR" && -z "${NET_KEEP:-}" ]] && rm -rf "$NET_DIR"
}

# Re-runs the calling script in a fresh network namespace, then sets up the per-user folders.
# Call as: net_begin HELPER "$@" (HELPER is the tunhelper program).
net_begin() {
    NET_HELPER=$1
    shift
    [[ $EUID -eq 0 ]] || e2e_skip "needs root for a private network namespace"
    [[ -c /dev/net/tun ]] || e2e_skip "no /dev/net/tun"
    [[ -x "$NET_HELPER" ]] || net_fail "tunhelper not found at $NET_HELPER"
    [[ -x "${QUILLMOOR_BIN:-}" ]] || net_fail "QUILLMOOR_BIN does not name the program"
    command -v ip >/dev/null || e2e_skip "ip (iproute2) is not installed"
    if [[ -z "${NET_IN_NAMESPACE:-}" ]]; then
        unshare -n true 2>/dev/null || e2e_skip "cannot make a network namespace"
        NET_IN_NAMESPACE=1 exec unshare -n bash "$0" "$NET_HELPER" "$@"
    fi
    NET_DIR=$(mktemp -d "${TMPDIR:-/tmp}/quillmoor-net.XXXXXX")
    trap net_cleanup EXIT
    export HOME="$NET_DIR/home" XDG_CONFIG_HOME="$NET_DIR/home/.config"
    export XDG_RUNTIME_DIR="$NET_DIR/run" QT_QPA_PLATFORM=offscreen
    mkdir -p "$HOME" "$XDG_CONFIG_HOME/quillmoor"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
}

# net_hold NAME DEVICE...: a helper holding tun interfaces (each DEVICE as tunhelper takes it) until
# net_release NAME.
net_hold() {
    local name=$1
    shift
    local out="$NET_DIR/holder-$name"
    rm -f "$out"
    "$NET_HELPER" "$@" >"$out" </dev/null &
    NET_HOLDERS[$name]=$!
    e2e_try 5 grep -qx ready "$out" || net_fail "tunhelper $* did not get ready"
}

net_release() {
    kill "${NET_HOLDERS[$1]}" 2>/dev/null || true
    wait "${NET_HOLDERS[$1]}" 2>/dev/null || true
    unset "NET_HOLDERS[$1]"
}

# The always-up tunnel, listed before ppp0, that must not count as a dial-up link.
net_vpn() {
    net_hold vpn wg0
    ip link set wg0 up
    ip addr add 192.0.2.65 peer 192.0.2.66 dev wg0
}

net_ppp() {
    net_hold ppp ppp0:ppp
}

net_link_up() {
    ip link set ppp0 up
    ip addr add 192.0.2.1 peer 192.0.2.2 dev ppp0
}

net_link_down() {
    ip addr flush dev ppp0
    ip link set ppp0 down
}

# net_entries INTERVAL N: a launch list of N scripts, each appending "entryK <time>" to
# starts.log.
net_entries() {
    local interval=$1 count=$2 k ini="$XDG_CONFIG_HOME/quillmoor/61027.ini"
    mkdir -p "$NET_DIR/my apps"
    printf '[Main]\nInterval=%s\n' "$interval" >"$ini"
    for k in $(seq "$count"); do
        local entry="$NET_DIR/my apps/entry$k"
        printf '#!/bin/sh\necho "entry%s $(date +%%s.%%N)" >> "%s/starts.log"\n' "$k" "$NET_DIR" \
            >"$entry"
        chmod +x "$entry"
        printf 'app %s=%s\n' "$k" "$entry" >>"$ini"
    done
}

net_start_program() {
    "$QUILLMOOR_BIN" >"$NET_DIR/program.log" 2>&1 &
    NET_PROGRAM_PID=$!
}

# net_start_counted PRELOAD [EVENTS]: the program with its looks at the connections counted by
# the preload (nolinkevents.c); EVENTS "none" takes the kernel's link events away.
net_start_counted() {
    LD_PRELOAD=$1 QUILLMOOR_PROBES="$NET_DIR/probes" QUILLMOOR_LINK_EVENTS=${2:-keep} \
        ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 net_start_program
}

# net_lines FILE: how many lines FILE holds; 0 when there is no such file.
net_lines() { if [[ -f $1 ]]; then wc -l <"$1"; else echo 0; fi; }
net_probes() { net_lines "$NET_DIR/probes"; }

# net_wait_ticks N: waits until the program has looked at the connections in N more whole ticks,
# each listing them twice, after the one that may be under way.
net_wait_ticks() {
    local want=$(($(net_probes) + 2 * $1 + 1)) deadline=$((SECONDS + 3 * $1 + 5))
    while (($(net_probes) < want)); do
        ((SECONDS < deadline)) || net_fail "the program stopped looking at the connections"
        sleep 0.02
    done
}

net_count() { net_lines "$NET_DIR/starts.log"; }

# net_wait_count N SECONDS: waits until N starts are logged; fails after SECONDS.
net_wait_count() {
    local want=$1 deadline=$((SECONDS + $2))
    while (($(net_count) < want)); do
        ((SECONDS < deadline)) || net_fail "expected $want starts after $2 s, saw $(net_count)"
        kill -0 "$NET_PROGRAM_PID" 2>/dev/null || net_fail "the program ended: $(cat "$NET_DIR/program.log")"
        sleep 0.02
    done
}

# net_check_pass FIRST N [GAP]: starts FIRST... are entry1 to entryN, with GAP each at least GAP
# and under a second after the last. The scripts take the times: a slow start may shift one a little.
net_check_pass() {
    local k name time last=""
    for ((k = 1; k <= $2; k++)); do
        read -r name time < <(sed -n "$(($1 + k - 1))p" "$NET_DIR/starts.log")
        [[ $name == "entry$k" ]] || net_fail "start $(($1 + k - 1)) is '$name', not entry$k"
        [[ -z ${3:-} || -z $last ]] || awk -v a="$last" -v b="$time" -v gap="$3" \
            'BEGIN { exit !(b - a >= gap && b - a < 1) }' || net_fail "starts $last and $time"
        last=$time
    done
}

# The time of the Nth start (from 1).
net_start_time() {
    sed -n "${1}p" "$NET_DIR/starts.log" | cut -d' ' -f2
}

net_now() {
    date +%s.%N
}
