#!/usr/bin/env bash
# The tray host goes away and comes back twice while a pass runs, once while a failed start is
# told beside the missing icon: the program stays, its own icon returns once each time, and the
# pass goes on. Then Exit inside a second pass ends it at once and cleanly (under the
# sanitizers a leak or a fault would change the exit status or the log).
source "$QUILLMOOR_SOURCE/tests/e2e/lib.sh"
e2e_begin
command -v convert >/dev/null || e2e_skip "ImageMagick's convert is not installed"
e2e_start_tray

apps="$HOME/apps"
store=$(e2e_store)
mkdir -p "$apps" "$(dirname "$store")"
convert -size 32x32 xc:'#ff00ff' "$HOME/magenta.png"
for k in 1 3; do
    printf '#!/bin/sh\necho entry%s >> "%s/starts.log"\n' "$k" "$E2E_DIR" >"$apps/entry$k"
    chmod +x "$apps/entry$k"
done
printf '[Main]\napp 1=%s\napp 2=%s\napp 3=%s\nIcon=%s\nInterval=2\n' \
    "$apps/entry1" "$apps/missing" "$apps/entry3" "$HOME/magenta.png" >"$store"
cp "$store" "$E2E_DIR/store.before"

# The colour in the middle of the program's icon in the tray, as "r,g,b".
icon_colour() {
    local icon
    icon=$(e2e_icon_window) || return 1
    import -window "$icon" png:- 2>/dev/null |
        convert - -gravity center -crop 4x4+0+0 +repage -scale 1x1 -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:
}

magenta_icon() {
    local rgb
    rgb=$(icon_colour) || return 1
    IFS=, read -r r g b <<<"$rgb"
    ((r > 200 && g < 60 && b > 200))
}

e2e_start_in_tray
e2e_wait 10 "the chosen icon in the tray" magenta_icon
e2e_screenshot trayhost-before

echo "Launch Now, then the tray host goes away and comes back twice during the pass"
e2e_choose "Launch Now"
e2e_wait 10 "the first entry to start" test -s "$E2E_DIR/starts.log"
for cycle in 1 2; do
    e2e_stop_tray
    e2e_wait 10 "the icon to leave with the host" bash -c '! xwininfo -root -tree | grep -q "\"panel\" \"trayer\""'
    # The first time the host stays away past the failed start of the second entry.
    if ((cycle == 1)); then sleep 2.5; else sleep 0.5; fi
    kill -0 "$E2E_PROGRAM_PID" 2>/dev/null || e2e_fail "the program ended with the tray host (cycle $cycle)"
    e2e_start_tray
    e2e_wait 20 "the icon to return (cycle $cycle)" e2e_icon_window
    [[ $(e2e_icon_count) -eq 1 ]] || e2e_fail "$(e2e_icon_count) icons after cycle $cycle"
    e2e_wait 10 "the chosen icon back (cycle $cycle)" magenta_icon
done
e2e_screenshot trayhost-after

e2e_wait 20 "the last entry to start" grep -q entry3 "$E2E_DIR/starts.log"
mapfile -t starts <"$E2E_DIR/starts.log"
[[ "${starts[*]}" == "entry1 entry3" ]] || e2e_fail "the pass started: ${starts[*]}"

echo "Exit inside a second pass"
e2e_choose "Launch Now"
e2e_wait 10 "the second pass to start" bash -c "[[ \$(wc -l < '$E2E_DIR/starts.log') -ge 3 ]]"
e2e_exit
# A script started just before may still be writing.
e2e_wait 10 "the started scripts to end" e2e_not pgrep -f "$apps/entry"
mapfile -t starts <"$E2E_DIR/starts.log"
[[ "${starts[*]}" == "entry1 entry3 entry1" ]] || e2e_fail "after Exit: ${starts[*]}"
[[ $(e2e_icon_count) -eq 0 ]] || e2e_fail "the icon stayed in the tray"
cmp -s "$store" "$E2E_DIR/store.before" || e2e_fail "the store changed"
e2e_no_faults
echo "PASS: tray host"
