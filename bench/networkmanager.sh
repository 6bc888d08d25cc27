#!/usr/bin/env bash
# Prints what a connection probe costs with NetworkManager on the system bus (python-dbusmock's,
# on a private bus), next to the PPP interfaces alone measured in the same run. Prints, never
# asserts. Usage: bench/networkmanager.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5000}
build=${QUILLMOOR_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_probe >/dev/null
probe=$PWD/$build/bench/bench_probe

source tests/nm/nmlib.sh
nm_need
dir=$(mktemp -d)
trap 'kill $NM_MOCK_PID $NM_BUS_PID 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$dir"' EXIT

# run LABEL: one bench_probe run, its lines marked with LABEL.
run() {
    "$probe" "$rounds" | sed "s/^probe:/probe, $1:/"
}

echo "reference, no system bus (the PPP interfaces alone):"
DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/none" run "PPP interfaces alone"

nm_bus "$dir"
echo "NetworkManager on the bus, not running yet:"
run "bus without NetworkManager"

nm_start
nm add wifi 802-11-wireless 2
nm add wired 802-3-ethernet 2
echo "NetworkManager with Wi-Fi and Ethernet up: its list, then the PPP interfaces:"
run "Wi-Fi and Ethernet"

nm add mobile gsm 2
echo "NetworkManager with a mobile connection up after them: answered from the mirror:"
run "mobile connection up"

nm remove mobile
for k in $(seq 20); do nm add "extra$k" 802-11-wireless 2; done
nm add office vpn 2 vpn.service-type=org.freedesktop.NetworkManager.openvpn
nm add mobile2 gsm 2
echo "the same behind 22 other active connections, all walked past:"
run "23 active connections"
