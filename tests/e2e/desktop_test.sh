#!/usr/bin/env bash
# End-to-end scripts on a machine that offers a desktop's notification service and a Plasma-like
# tray watcher: in a mount namespace of its own, their service files join the machine's. The
# tests' own buses must not know them, so the scripts pass as elsewhere. Usage: SCRIPT...
set -euo pipefail
folder=/usr/share/dbus-1/services
if [[ -z "${DESKTOP_IN_NAMESPACE:-}" ]]; then
    [[ $(id -u) -eq 0 ]] && unshare -m true 2>/dev/null || { echo "SKIP: needs root for a mount namespace"; exit 77; }
    DESKTOP_IN_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
fi
services=$(mktemp -d "${TMPDIR:-/tmp}/quillmoor-services.XXXXXX")
trap 'umount "$folder"; rm -rf "$services"' EXIT
mkdir -p "$folder" && cp -a "$folder/." "$services/"
service() { # NAME ARGS: started on demand as python-dbusmock's stand-in
    printf '[D-BUS Service]\nName=%s\nExec=/usr/bin/python3 -m dbusmock --session %s\n' "$1" "$2" \
        >"$services/$1.service"
}
service org.freedesktop.Notifications "-t notification_daemon"
service org.kde.StatusNotifierWatcher "org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.kde.StatusNotifierWatcher"
mount --bind "$services" "$folder"
# A bus as a desktop starts it offers both.
names=$(XDG_DATA_DIRS=/usr/share dbus-run-session -- gdbus call --session -d org.freedesktop.DBus \
    -o /org/freedesktop/DBus -m org.freedesktop.DBus.ListActivatableNames)
[[ $names == *Notifications* && $names == *StatusNotifierWatcher* ]] || { echo "FAIL: not in place: $names" >&2; exit 1; }
for script in "$@"; do
    echo "== $script with a desktop's services on the machine"
    bash "$(dirname "$0")/$script" || { rc=$?; [[ $rc -eq 77 ]] || exit "$rc"; }
done
