#!/usr/bin/env bash
# "Set Launch Interval" and "Launch Now" from the tray menu, as a user works them: the input box
# with the program's title, the refusal of a non-number, and the list started in order; a file
# dialog opened during the pass holds nothing. No notification service: failures are told in
# balloons at the icon, a late one joining the first.
source "$(dirname "$0")/lib.sh"
e2e_desktop

apps="$HOME/my apps"
mkdir -p "$apps" "$(dirname "$(e2e_store)")"
for k in 1 2; do
    printf '#!/bin/sh\necho "entry%s $(date +%%s.%%N)" >> "%s/starts.log"\n' "$k" "$E2E_DIR" \
        >"$apps/entry$k"
    chmod +x "$apps/entry$k"
done
# A document no application is set for goes to the desktop's opener, which finds nothing once
# the test lets it answer.
mkdir -p "$E2E_DIR/bin"
printf '#!/bin/sh\nfor i in $(seq 300); do [ -e "%s/release" ] && exit 3; sleep 0.1; done\n' \
    "$E2E_DIR" >"$E2E_DIR/bin/xdg-open"
chmod +x "$E2E_DIR/bin/xdg-open"
export PATH="$E2E_DIR/bin:$PATH"
echo notes >"$E2E_DIR/notes.txt"
# Twelve more entries, each noting itself in a log of its own, keep the pass going.
late=12
printf '#!/bin/sh\necho . >> "%s/late.log"\n' "$E2E_DIR" >"$apps/late"
chmod +x "$apps/late"
{
    printf '[Main]\napp 1=%s\napp 2=%s\napp 3=%s\napp 4=%s\n' "$apps/entry1" "$apps/entry2" \
        "$apps/missing" "$E2E_DIR/notes.txt"
    for k in $(seq $late); do printf 'app %d=%s\n' $((k + 4)) "$apps/late"; done
} >"$(e2e_store)"

e2e_start_in_tray

interval() {
    sed -n 's/^Interval=//p' "$(e2e_store)"
}

echo "a non-number is refused with the error box, and nothing is stored"
e2e_choose "Set Launch Interval"
e2e_wait 10 "the input box titled Quillmoor" visible_window Quillmoor
e2e_screenshot interval-input
e2e_answer Quillmoor "2,5"
e2e_wait 10 "the error box" visible_window Error
e2e_screenshot interval-refused
e2e_keys Return
e2e_wait 5 "the error box to close" no_window Error
[[ -z "$(interval)" ]] || e2e_fail "a refused interval was stored: $(interval)"

echo "a number is stored as typed, blanks included"
e2e_choose "Set Launch Interval"
e2e_wait 10 "the input box" visible_window Quillmoor
e2e_answer Quillmoor " 0.4 "
e2e_wait 5 "the interval to be stored" bash -c "grep -qx 'Interval= 0.4 ' '$(e2e_store)'"

echo "Launch Now starts the list in order, the interval apart, and tells of a failed start"
e2e_choose "Launch Now"
e2e_wait 10 "both entries to start" bash -c "[[ \$(wc -l < '$E2E_DIR/starts.log') -ge 2 ]] 2>/dev/null"
mapfile -t starts <"$E2E_DIR/starts.log"
[[ ${starts[0]%% *} == entry1 && ${starts[1]%% *} == entry2 ]] || e2e_fail "order: ${starts[*]}"
awk -v a="${starts[0]#* }" -v b="${starts[1]#* }" 'BEGIN { exit !(b - a >= 0.3) }' ||
    e2e_fail "entries started less than the interval apart: ${starts[*]}"

e2e_wait 30 "the notice beside the icon" e2e_a11y_says "Could not start $apps/missing"
e2e_a11y_says "there is no program $HOME/my; a path with blanks needs quotation marks" ||
    e2e_fail "the notice does not say which program was looked for: $(e2e_a11y_tree)"
touch "$E2E_DIR/release"
e2e_wait 10 "the late notice" e2e_a11y_says "Could not start $E2E_DIR/notes.txt: no application"
e2e_a11y_says "Could not start $apps/missing" || e2e_fail "the late notice wiped out the first"
e2e_screenshot launch-failed

late_count() { cat "$E2E_DIR/late.log" 2>/dev/null | wc -l; }
at_least() { (($(late_count) >= $1)); }

echo "a file dialog opened during a pass holds nothing: the next entries start while it is open"
e2e_wait 30 "the first pass to end" at_least $late
: >"$E2E_DIR/late.log"
e2e_open "Edit Launch List" "Edit Application List"
editor=$(visible_window "Edit Application List")
e2e_choose "Launch Now"
e2e_click_at "$editor" 168 16 # "Add"
e2e_wait 10 "the file dialog" visible_window Open
before=$(late_count)
((before + 2 <= late)) || e2e_skip "the pass had nearly ended before the dialog opened"
e2e_wait 20 "two more entries to start while the dialog is open" at_least $((before + 2))
visible_window Open >/dev/null || e2e_fail "the file dialog closed before the entries started"
e2e_screenshot pass-beside-file-dialog
e2e_press Open Escape
e2e_wait 20 "the pass to end" at_least $late

e2e_no_faults
echo "PASS: launch menu"
