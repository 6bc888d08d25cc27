#!/usr/bin/env bash
# The program on a tray host that draws the item itself (StatusNotifierItem), under Wayland:
# headless sway with waybar's tray on a private session bus, everything run as nobody (sway
# will not run as root). The headless seat has no pointer, so the script makes the calls a
# host makes: the item's properties, the exported menu, clicks on its items, the buttons.
source "$(dirname "$0")/lib.sh"

[[ $(id -u) -eq 0 ]] || e2e_skip "needs root to run the desktop as nobody"
for tool in sway swaymsg waybar grim gdbus dbus-daemon setpriv; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done
compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null ||
    e2e_skip "qt6-wayland is not installed"
[[ -x "${QUILLMOOR_BIN:-}" ]] || e2e_fail "QUILLMOOR_BIN does not name the program"

e2e_home
chmod 755 "$E2E_DIR"
mkdir -p "$XDG_CONFIG_HOME/quillmoor"
export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
export QT_QPA_PLATFORM=wayland
# No accessibility bus for waybar to start and leave behind.
export NO_AT_BRIDGE=1 GTK_A11Y=none

# A launch list whose entries cannot start, for the pass's notice: the second only the
# desktop's opener finds unopenable (a stand-in for xdg-open with nothing to open web pages
# with), within the interval.
printf '[Main]\napp 1=/nonexistent/x\napp 2=https://example.org/?a=1&b=<2>\nInterval=1\n' \
    >"$(e2e_store)"
mkdir "$E2E_DIR/bin"
printf '#!/bin/sh\nexit 3\n' >"$E2E_DIR/bin/xdg-open"
chmod +x "$E2E_DIR/bin/xdg-open"
# No Xwayland, whether or not the machine has it (GNOME's packages bring it).
printf 'output HEADLESS-1 resolution 1024x768\nxwayland disable\n' >"$E2E_DIR/sway.conf"
printf '{"layer": "top", "position": "top", "height": 32, "modules-right": ["tray"],
  "tray": {"icon-size": 24}}\n' >"$E2E_DIR/waybar.json"
printf 'window#waybar { background: #406080; }\n' >"$E2E_DIR/waybar.css"
# The build may sit where nobody cannot read it (a clone in /root): the program and the leak
# suppressions are copied to the test's folder.
cp "$QUILLMOOR_BIN" "$E2E_DIR/quillmoor"
QUILLMOOR_BIN="$E2E_DIR/quillmoor"
if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]]; then
    cp "${BASH_REMATCH[1]}" "$E2E_DIR/lsan.supp"
    export LSAN_OPTIONS=${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/"$E2E_DIR/lsan.supp"}
fi
chown -R nobody:nogroup "$E2E_DIR"

# Started directly rather than through as_nobody, so that $! is the process itself.
NOBODY=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
E2E_AS=("${NOBODY[@]}")
as_nobody() {
    "${NOBODY[@]}" "$@"
}

e2e_session_bus

"${NOBODY[@]}" sway -c "$E2E_DIR/sway.conf" >"$E2E_DIR/sway.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait 20 "sway" compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock"
SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" | head -1)
WAYLAND_DISPLAY=$(basename "$(compgen -G "$XDG_RUNTIME_DIR/wayland-[0-9]" | head -1)")
export SWAYSOCK WAYLAND_DISPLAY

e2e_start_notices

start_waybar() {
    "${NOBODY[@]}" waybar -c "$E2E_DIR/waybar.json" -s "$E2E_DIR/waybar.css" \
        >>"$E2E_DIR/waybar.log" 2>&1 &
    WAYBAR_PID=$!
    E2E_PIDS+=($WAYBAR_PID)
}

stop_waybar() {
    kill "$WAYBAR_PID" 2>/dev/null || true
    wait "$WAYBAR_PID" 2>/dev/null || true
}

# Windows of the program that the compositor holds.
program_windows() {
    as_nobody swaymsg -t get_tree | grep -c "\"pid\": $E2E_PROGRAM_PID" || true
}

no_windows() {
    [[ $(program_windows) -eq 0 ]]
}

has_windows() {
    ! no_windows
}

echo "The program starts before the tray host, as at a log-in race"
# Mesa's EGL has no frame pointers: the slow unwinder lets its leaks match the suppressions.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:fast_unwind_on_malloc=0" \
    PATH="$E2E_DIR/bin:$PATH" XDG_DATA_DIRS="$E2E_DIR/share" "${NOBODY[@]}" "$QUILLMOOR_BIN" >"$E2E_DIR/program.log" 2>&1 &
E2E_PROGRAM_PID=$!
E2E_PIDS+=($E2E_PROGRAM_PID)
e2e_wait 20 "the program to answer, its tray set up" e2e_answers
kill -0 "$E2E_PROGRAM_PID" || e2e_fail "the program ended without a tray host"
start_waybar
e2e_wait 20 "the item at the host" e2e_sni_has_item

e2e_sni_property ItemIsMenu | grep -q true || e2e_fail "ItemIsMenu: $(e2e_sni_property ItemIsMenu)"
e2e_sni_property Menu | grep -q "'/MenuBar'" || e2e_fail "Menu: $(e2e_sni_property Menu)"
# Real pixels whatever QT_SCALE_FACTOR says: a dense panel gets its 48 and 64 too.
sides=$(e2e_sni_property IconPixmap | grep -oP '\(\K\d+(?=, \d+, \[)' | xargs)
[[ $sides == "16 22 24 32 48 64" ]] || e2e_fail "icon sizes: $sides"
e2e_sni_property ToolTip | grep -q "'Quillmoor 1.0 - Activated'" || e2e_fail "tooltip: $(e2e_sni_property ToolTip)"

layout=$(e2e_sni_menu GetLayout 0 -1 '[]')
mapfile -t captions < <(grep -oP "'label': <'\K[^']*" <<<"$layout")
[[ "${captions[*]}" == "${E2E_MENU[*]}" ]] || e2e_fail "the menu holds: ${captions[*]}"
grep -qP "'label': <'Activate'>, [^}]*'toggle-state': <1>" <<<"$layout" ||
    grep -qP "'toggle-state': <1>[^}]*'label': <'Activate'>" <<<"$layout" ||
    e2e_fail "Activate carries no check mark: $layout"
e2e_screenshot sni-tray

echo "Activate in the host's menu switches monitoring off and on"
e2e_sni_click Activate
e2e_wait 5 "the deactivated tooltip" e2e_sni_tooltip_says Deactivated
e2e_sni_menu GetLayout 0 -1 '[]' | grep -qP "'toggle-state': <0>" || e2e_fail "the check mark stayed"
e2e_sni_click Activate
e2e_wait 5 "the activated tooltip" e2e_sni_tooltip_says "- Activated"

echo "The host's buttons open no window of the program's; Activate leaves the menu to the host"
answer=$(e2e_sni_item -o /StatusNotifierItem -m org.kde.StatusNotifierItem.Activate 100 10 2>&1) || true
[[ $answer == *org.freedesktop.DBus.Error.NotSupported* ]] || e2e_fail "Activate answered: $answer"
for method in SecondaryActivate ContextMenu; do
    e2e_sni_item -o /StatusNotifierItem -m "org.kde.StatusNotifierItem.$method" 100 10 >/dev/null ||
        e2e_fail "$method failed"
done
e2e_answers >/dev/null || e2e_fail "no answer after the buttons"
no_windows || e2e_fail "a button opened a window: $(program_windows)"
kill -0 "$E2E_PROGRAM_PID" || e2e_fail "the program ended"

echo "A failed start reaches the notification service"
e2e_sni_click "Launch Now"
e2e_wait 10 "the notice" grep -q 'Could not start /nonexistent/x' "$E2E_DIR/notify.log"
# The service renders markup (dbusmock says so by default): the body comes escaped.
grep -qF 'Could not start https://example.org/?a=1&amp;b=&lt;2&gt;: no application is set to' \
    "$E2E_DIR/notify.log" || e2e_fail "the opener's failure is not in the notice, escaped"
grep -qF 'Notify "Quillmoor" 0 "" "2 entries could not start" ' "$E2E_DIR/notify.log" ||
    e2e_fail "the summary does not say what happened: $(grep Notify "$E2E_DIR/notify.log")"
grep -qF '"desktop-entry": "quillmoor"' "$E2E_DIR/notify.log" || e2e_fail "no desktop-entry hint"
# Width, height, row stride, alpha, 8 bits a sample, 4 channels, then the bytes.
grep -qP '"image-data": dbus\.Struct\(\((dbus\.Int32\([1-9]\d*\), ){3}dbus\.Boolean\(True\), dbus\.Int32\(8\), dbus\.Int32\(4\), dbus\.Array\(\[dbus\.Byte' \
    "$E2E_DIR/notify.log" || e2e_fail "no image-data hint of the tray's picture"

echo "Without a notification service, the pass's notice shows a window"
e2e_stop "$E2E_NOTICES_PID"
e2e_sni_click "Launch Now"
e2e_wait 10 "the notice's window" has_windows
as_nobody swaymsg "[pid=$E2E_PROGRAM_PID] kill" >/dev/null
e2e_wait 10 "the notice's window to close" no_windows

echo "The tray host restarts: the item returns, once"
stop_waybar
e2e_wait 10 "the host to go" e2e_not e2e_sni_registered
e2e_wait 10 "the program to answer after the host went" e2e_answers
kill -0 "$E2E_PROGRAM_PID" || e2e_fail "the program ended with the tray host"
start_waybar
e2e_wait 20 "the item back at the host" e2e_sni_has_item

echo "About opens a window that the compositor places"
e2e_sni_click About
# Sway lists a window only once it has drawn its first frame.
e2e_wait 10 "the About box" has_windows
e2e_screenshot sni-about

echo "Exit in the host's menu"
e2e_exit
e2e_sni_registered | grep -q . && e2e_fail "the item stayed: $(e2e_sni_registered)"
e2e_no_faults
echo "PASS: sni"
