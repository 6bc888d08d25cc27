#!/usr/bin/env bash
# End-to-end scripts on a machine whose session services include a desktop's notification
# service and a Plasma-like StatusNotifierWatcher: in a mount namespace of its own, their
# service files are added to the machine's service folder. The tests' own buses must not know
# them, so the scripts pass as they do elsewhere.
# Usage: desktop_test.sh SCRIPT...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
folder=/usr/share/dbus-1/services
if [[ -z "${DESKTOP_IN_NAMESPACE:-}" ]]; then
    [[ $(id -u) -eq 0 ]] || { echo "SKIP: needs root for a mount namespace"; exit 77; }
    unshare -m true 2>/dev/null || { echo "SKIP: cannot make a mount namespace"; exit 77; }
    DESKTOP_IN_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
fi

services=$(mktemp -d "${TMPDIR:-/tmp}/quillmoor-services.XXXXXX")
trap 'umount "$folder" 2>/dev/null; rm -rf "$services"' EXIT
[[ -d $folder ]] && cp -a "$folder/." "$services/"
printf '[D-BUS Service]\nName=org.freedesktop.Notifications\nExec=/usr/bin/python3 -m dbusmock --session -t notification_daemon\n' \
    >"$services/org.freedesktop.Notifications.service"
printf '[D-BUS Service]\nName=org.kde.StatusNotifierWatcher\nExec=/usr/bin/python3 -m dbusmock --session org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.kde.StatusNotifierWatcher\n' \
    >"$services/org.kde.StatusNotifierWatcher.service"
mkdir -p "$folder"
mount --bind "$services" "$folder"

# A bus as a desktop starts it offers both.
names=$(dbus-run-session -- gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.ListActivatableNames)
[[ $names == *org.freedesktop.Notifications* && $names == *org.kde.StatusNotifierWatcher* ]] ||
    { echo "FAIL: the desktop's services are not in place: $names" >&2; exit 1; }

status=0
for script in "$@"; do
    echo "== $script with a desktop's services on the machine"
    bash "$here/$script" || { rc=$?; [[ $rc -eq 77 ]] || status=1; }
done
exit "$status"
