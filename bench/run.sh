#!/usr/bin/env bash
# Builds an optimised program in build-bench and prints each figure next to a reference
# measured in the same run. Prints, never asserts; takes a few minutes.
#   pause    CPU during a 10 s pause          vs a busy processEvents loop
#   store    saving and loading 32,767 entries vs plain file I/O of the same bytes
#   launch   1,000 entries of /bin/true        vs a posix_spawn loop
#   startup  exec to icon embedded in the tray vs the least Qt tray program
#   idle     CPU and memory over 60 s          vs the least Qt tray program
#   list     start-up and memory, 32,767 entries vs an empty list
#   react    address to first start            vs the once-a-second probe alone
# The tray figures need Xvfb and trayer; the reaction needs root for a private network
# namespace. Either is skipped with a message when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLMOOR_BENCH_BUILD:-build-bench}
idle_seconds=${QUILLMOOR_BENCH_IDLE:-60}
connections=${QUILLMOOR_BENCH_CONNECTIONS:-200}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMOOR_SANITIZE=OFF \
    -DQUILLMOOR_BENCH=ON >/dev/null
targets=(quillmoor leasttray stamp addaddr bench_pause bench_probe bench_store bench_launch tunhelper
    nolinkevents)
# traywatch exists only where libxcb's headers were found.
ninja -C "$build" -t targets all | grep '^traywatch:' >/dev/null && targets+=(traywatch)
cmake --build "$build" --target "${targets[@]}" >/dev/null
bin=$PWD/$build

echo "Quillmoor benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(uname -r)"
# Each figure runs in the build folder, where the store and launch figures keep their files.
(cd "$bin" && ./bench/bench_pause 10)
(cd "$bin" && ./bench/bench_store 7)
(cd "$bin" && ./bench/bench_launch 1000 3)

# figure WHAT SCRIPT ARGS...: runs a script of figures; a missing tool skips it (status 77).
figure() {
    local what=$1 status=0
    shift
    "$@" </dev/null || status=$?
    case $status in
    0) ;;
    77) echo "$what skipped" ;;
    *) echo "$what FAILED (status $status)"; exit "$status" ;;
    esac
}

figure "startup and idle:" bash bench/tray.sh "$build" "$idle_seconds" 7
figure "reaction:" env QUILLMOOR_BIN="$bin/src/quillmoor" bash bench/dialup.sh \
    "$bin/tests/tunhelper" "$bin/bench/bench_probe" "$bin/bench/stamp" \
    "$bin/tests/libnolinkevents.so" "$bin/bench/addaddr" "$connections"
figure "probe with NetworkManager:" env QUILLMOOR_BENCH_BUILD="$build" bash bench/networkmanager.sh
