#!/usr/bin/env bash
# Entries users add besides programs, started by "Launch Now" at Interval 0: a web page through
# the desktop's opener (a stand-in xdg-open on PATH that notes what it was given), a .desktop
# launcher whose Exec writes a file, and two broken entries told in one notice at the end.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_start_wm
e2e_start_tray

bin="$E2E_DIR/bin"
apps="$HOME/.local/share/applications"
mkdir -p "$bin" "$apps" "$(dirname "$(e2e_store)")"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >> "%s/opened"\n' "$E2E_DIR" >"$bin/xdg-open"
chmod +x "$bin/xdg-open"
export PATH="$bin:$PATH"

# Quoted by the Desktop Entry rules (" and $ inside quotes escaped), %U dropped, the blank kept.
cat >"$apps/writer.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Writer
Exec=sh -c "echo launched > \\"\\\$1\\"" sh "$E2E_DIR/launched file" %U
DESKTOP
cat >"$apps/gone.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Gone
Hidden=true
Exec=sh -c "echo started > '$E2E_DIR/gone'"
DESKTOP
printf '[Main]\nInterval=0\napp 1=%s\napp 2=%s\napp 3=%s\napp 4=%s\n' \
    "https://example.org/page?a=1" "$apps/writer.desktop" "/nonexistent/program" \
    "$apps/gone.desktop" >"$(e2e_store)"

e2e_start_notices
e2e_start_in_tray

echo "Launch Now opens the page and starts the launcher"
e2e_choose "Launch Now"
e2e_wait 10 "the page to be handed to xdg-open" grep -qxF "https://example.org/page?a=1" \
    "$E2E_DIR/opened"
e2e_wait 10 "the launcher's program to write its file" grep -qx launched "$E2E_DIR/launched file"
[[ $(wc -l <"$E2E_DIR/opened") -eq 1 ]] || e2e_fail "xdg-open was given more: $(cat "$E2E_DIR/opened")"
[[ ! -e "$E2E_DIR/gone" ]] || e2e_fail "a hidden launcher was started"

echo "the two failures come as one notice when the pass ends"
e2e_wait 10 "the notice" grep -qF "Could not start /nonexistent/program" "$E2E_DIR/notify.log"
grep -qF "Could not start $apps/gone.desktop" "$E2E_DIR/notify.log" ||
    e2e_fail "the hidden launcher is not in the notice: $(cat "$E2E_DIR/notify.log")"
[[ $(grep -c ' Notify ' "$E2E_DIR/notify.log") -eq 1 ]] ||
    e2e_fail "more than one notice: $(cat "$E2E_DIR/notify.log")"

e2e_no_faults
echo "PASS: entries"
