#!/usr/bin/env bash
# Figures of the program in a real tray (Xvfb and trayer, no window manager), each next to the
# least Qt tray program measured the same way in the same run: the start-up from exec to the
# icon embedded in the tray, and the idle CPU and resident memory over a span of seconds.
# Usage: tray.sh BUILD_DIR [IDLE_SECONDS] [STARTS]
build=$(cd "$1" && pwd)
idle_seconds=${2:-60}
starts=${3:-7}
export QUILLMOOR_BIN=$build/src/quillmoor
source "$(dirname "$0")/../tests/e2e/lib.sh"
reference=$build/bench/leasttray
watch=$build/bench/traywatch
[[ -x "$watch" ]] || e2e_skip "traywatch was not built (libxcb's headers are missing)"
e2e_begin >/dev/null
e2e_start_tray

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Start-up, alternating the two programs so that a passing disturbance hits both alike.
program_ms=() reference_ms=()
for round in $(seq "$starts"); do
    program_ms+=("$("$watch" "$QUILLMOOR_BIN")") || e2e_fail "the program's icon was not embedded"
    reference_ms+=("$("$watch" "$reference")") || e2e_fail "the reference's icon was not embedded"
done
p=$(printf '%s\n' "${program_ms[@]}" | median)
r=$(printf '%s\n' "${reference_ms[@]}" | median)
printf 'startup exec to icon embedded, quillmoor:     %7.1f ms (median of %d: %s)\n' "$p" "$starts" \
    "${program_ms[*]}"
printf 'startup reference: least Qt tray program:     %7.1f ms (median of %d: %s)\n' "$r" "$starts" \
    "${reference_ms[*]}"
awk -v p="$p" -v r="$r" 'BEGIN { printf "startup ratio %.2fx (goal: at most 1.5x)\n", p / r }'

# Idle: both at once, each in its own tray slot, activated and with nothing connected.
"$QUILLMOOR_BIN" >"$E2E_DIR/program.log" 2>&1 &
program=$!
"$reference" >"$E2E_DIR/reference.log" 2>&1 &
least=$!
E2E_PIDS+=("$program" "$least")
e2e_wait 20 "the program's icon" e2e_icon_window
sleep 3 # past the start-up's own work

# Nanoseconds on the CPU, all threads: finer than the clock ticks of /proc/PID/stat.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ s += $1 } END { print s }'; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' /proc/"$1"/status; }
p0=$(cpu_ns "$program") r0=$(cpu_ns "$least")
sleep "$idle_seconds"
p1=$(cpu_ns "$program") r1=$(cpu_ns "$least")
prss=$(rss_kb "$program") rrss=$(rss_kb "$least")
awk -v p=$((p1 - p0)) -v r=$((r1 - r0)) -v s="$idle_seconds" -v pm="$prss" -v rm="$rrss" 'BEGIN {
    printf "idle    quillmoor over %d s:   CPU %.4f s (%.4f%% of a core), RSS %.1f MiB\n",
        s, p / 1e9, 100 * p / 1e9 / s, pm / 1024
    printf "idle    reference over %d s:   CPU %.4f s (%.4f%% of a core), RSS %.1f MiB\n",
        s, r / 1e9, 100 * r / 1e9 / s, rm / 1024
    printf "idle    RSS ratio %.2fx (goals: CPU at most 0.1%% of a core, RSS at most 1.2x)\n", pm / rm
}'

# A list of 32,767 entries (2 MB) against an empty one: start-up, alternating as above, and the
# resident memory of each once started. One program at a time: it runs as a single instance.
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
store=$(e2e_store)
mkdir -p "$(dirname "$store")"
awk 'BEGIN { print "[Main]"
             for (i = 1; i <= 32767; i++)
                 printf "app %d=/usr/local/bin/program-%d --profile \"work %d\"\n", i, i, i }' \
    >"$E2E_DIR/long.ini"
long_ms=() empty_ms=()
for round in $(seq "$starts"); do
    cp "$E2E_DIR/long.ini" "$store"
    long_ms+=("$("$watch" "$QUILLMOOR_BIN")") || e2e_fail "the icon was not embedded (long list)"
    rm -f "$store"
    empty_ms+=("$("$watch" "$QUILLMOOR_BIN")") || e2e_fail "the icon was not embedded (empty)"
done
# resident KIND: the program's resident memory in KiB, a few seconds after its icon came.
resident() {
    "$QUILLMOOR_BIN" >"$E2E_DIR/program.log" 2>&1 &
    local pid=$!
    E2E_PIDS+=("$pid")
    e2e_wait 20 "the program's icon ($1)" e2e_icon_window
    sleep 3
    rss_kb "$pid"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    e2e_wait 20 "the icon to go" e2e_not e2e_icon_window
}
cp "$E2E_DIR/long.ini" "$store"
long_rss=$(resident "long list")
rm -f "$store"
empty_rss=$(resident "empty list")
l=$(printf '%s\n' "${long_ms[@]}" | median)
e=$(printf '%s\n' "${empty_ms[@]}" | median)
awk -v l="$l" -v e="$e" -v lm="$long_rss" -v em="$empty_rss" -v n="$starts" 'BEGIN {
    printf "list    32,767 entries: start-up %7.1f ms, RSS %.1f MiB (median of %d starts)\n",
        l, lm / 1024, n
    printf "list    reference: empty list: start-up %7.1f ms, RSS %.1f MiB\n", e, em / 1024
    printf "list    start-up ratio %.2fx, RSS +%.1f MiB (goals: at most 1.5x, at most +6 MiB)\n",
        l / e, (lm - em) / 1024
}'
