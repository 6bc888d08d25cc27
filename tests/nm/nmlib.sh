# Shared by the NetworkManager test and benchmark scripts: a private bus that stands in for the
# system bus, with python-dbusmock's NetworkManager on it. Source it, call nm_need (it prints
# SKIP and exits 77 when a tool is missing), nm_bus DIR, then nm_start; `nm ...` runs
# nmmock.py. The caller stops NM_BUS_PID and NM_MOCK_PID on its way out.

NM_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
NM_PYTHON=""
NM_DIR=""
NM_BUS_PID=""
NM_MOCK_PID=""

nm_need() {
    command -v dbus-daemon >/dev/null || { echo "SKIP: dbus-daemon is not installed"; exit 77; }
    local python
    for python in /usr/bin/python3 python3; do
        if "$python" -c 'import dbusmock' 2>/dev/null; then
            NM_PYTHON=$python
            return 0
        fi
    done
    echo "SKIP: python3-dbusmock is not installed"
    exit 77
}

# nm_bus DIR: starts the bus with its socket in DIR and points DBUS_SYSTEM_BUS_ADDRESS at it.
nm_bus() {
    NM_DIR=$1
    dbus-daemon --config-file="$NM_HERE/../support/session-bus.conf" --nofork --print-address \
        --address="unix:path=$NM_DIR/system_bus_socket" >"$NM_DIR/bus.address" 2>"$NM_DIR/bus.log" &
    NM_BUS_PID=$!
    local i
    # Waits for the whole address line; when none comes, says what the bus printed.
    for i in $(seq 200); do
        grep -q '^unix:.*guid=' "$NM_DIR/bus.address" && break
        sleep 0.05
    done
    DBUS_SYSTEM_BUS_ADDRESS=$(grep -m1 '^unix:.*guid=' "$NM_DIR/bus.address") ||
        { echo "FAIL: the bus did not start: $(cat "$NM_DIR/bus.address" "$NM_DIR/bus.log")" >&2; exit 1; }
    export DBUS_SYSTEM_BUS_ADDRESS
}

nm() {
    "$NM_PYTHON" "$NM_HERE/nmmock.py" "$@"
}

# Starts the mock NetworkManager and waits until it answers.
nm_start() {
    "$NM_PYTHON" -m dbusmock --system --template networkmanager >>"$NM_DIR/mock.log" 2>&1 &
    NM_MOCK_PID=$!
    nm wait
}

nm_stop() {
    kill "$NM_MOCK_PID" 2>/dev/null || true
    wait "$NM_MOCK_PID" 2>/dev/null || true
}
