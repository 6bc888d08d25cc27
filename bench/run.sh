#!/usr/bin/env bash
# Builds an optimised program in build-bench and prints the figures of the probe and the launch
# sequencer. Prints, never asserts. The figures with a dial-up link need root (a private network
# namespace); without it they are skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLMOOR_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target quillmoor bench_pause bench_probe tunhelper >/dev/null

"$build/bench/bench_pause" 10
"$build/bench/bench_probe" 5000

# Idle CPU of the running program, activated, with nothing connected.
home=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
HOME=$home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run QT_QPA_PLATFORM=offscreen \
    "$build/src/quillmoor" >/dev/null 2>&1 &
pid=$!
sleep 2
# Nanoseconds on the CPU, all threads: finer than the clock ticks of /proc/PID/stat.
cpu_ns() { cat /proc/"$pid"/task/*/schedstat | awk '{ s += $1 } END { print s }'; }
start=$(cpu_ns)
sleep 60
end=$(cpu_ns)
awk -v ns=$((end - start)) \
    'BEGIN { printf "idle program over 60 s with the timer on: CPU %.4f s (%.4f%%)\n", ns / 1e9, 100 * ns / 1e9 / 60 }'
kill "$pid"

QUILLMOOR_BIN=$PWD/$build/src/quillmoor bash bench/dialup.sh "$PWD/$build/tests/tunhelper" \
    "$PWD/$build/bench/bench_probe" 5 || [[ $? -eq 77 ]]
