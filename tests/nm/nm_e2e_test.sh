#!/usr/bin/env bash
# The program in a real tray with a NetworkManager (python-dbusmock) on its system bus: a mobile
# broadband connection that becomes activated starts the launch list once, and again only after
# it has been taken down and activated anew, however quickly. Wi-Fi never starts it.
source "$QUILLMOOR_SOURCE/tests/e2e/lib.sh"
source "$(dirname "$0")/nmlib.sh"
nm_need
e2e_begin
nm_bus "$E2E_DIR"
E2E_PIDS+=("$NM_BUS_PID")
nm_start
E2E_PIDS+=("$NM_MOCK_PID")

apps="$HOME/my apps"
mkdir -p "$apps" "$(dirname "$(e2e_store)")"
printf '[Main]\nInterval=0.3\n' >"$(e2e_store)"
for k in 1 2; do
    printf '#!/bin/sh\necho "entry%s $(date +%%s.%%N)" >> "%s/starts.log"\n' "$k" "$E2E_DIR" \
        >"$apps/entry$k"
    chmod +x "$apps/entry$k"
    printf 'app %s=%s\n' "$k" "$apps/entry$k" >>"$(e2e_store)"
done

starts() {
    if [[ -f "$E2E_DIR/starts.log" ]]; then wc -l <"$E2E_DIR/starts.log"; else echo 0; fi
}
has_starts() {
    (($(starts) >= $1))
}
# still N SECONDS: no other start for that long.
still() {
    sleep "$2"
    (($(starts) == $1)) || e2e_fail "expected $1 starts, saw $(starts)"
}
no_error_box() {
    [[ -z "$(xdotool search --onlyvisible --name '^Error!$' 2>/dev/null)" ]] ||
        e2e_fail "an error box is open"
}
# Starts FIRST and FIRST+1 are entry1 then entry2.
check_pass() {
    local first=$1
    [[ "$(sed -n "${first}p" "$E2E_DIR/starts.log" | cut -d' ' -f1)" == entry1 &&
        "$(sed -n "$((first + 1))p" "$E2E_DIR/starts.log" | cut -d' ' -f1)" == entry2 ]] ||
        e2e_fail "starts $first and $((first + 1)) are not entry1, entry2: $(cat "$E2E_DIR/starts.log")"
}

e2e_start_tray
e2e_start_program
e2e_wait 20 "the icon in the tray" e2e_icon_window

echo "Wi-Fi coming up starts nothing"
nm add wifi 802-11-wireless 2
still 0 2.5

echo "a mobile connection still being set up starts nothing"
nm add mobile gsm 1
still 0 2.5

echo "activated: the list starts once, in order"
nm state mobile 2
e2e_wait 10 "the first pass" has_starts 2
check_pass 1
still 2 3
no_error_box
e2e_screenshot nm-connected

echo "taken down and activated anew: one more pass"
nm remove mobile
still 2 2.5
nm add mobile2 gsm 2
e2e_wait 10 "the second pass" has_starts 4
check_pass 3
still 4 3
no_error_box

echo "dropped and activated again at once: NetworkManager's signals tick before the timer does"
nm remove mobile2
nm add mobile3 gsm 2
e2e_wait 10 "the third pass" has_starts 6
check_pass 5
still 6 3
no_error_box

echo "Exit ends the program cleanly while it listens to the bus"
e2e_choose Exit
status=0
wait "$E2E_PROGRAM_PID" || status=$?
[[ $status -eq 0 ]] || e2e_fail "Exit ended the program with status $status"
! grep -i -E 'runtime error|AddressSanitizer|LeakSanitizer' "$E2E_DIR/program.log" ||
    e2e_fail "the sanitizers reported a fault"

grep -q . "$E2E_DIR/program.log" && { echo "program output:"; cat "$E2E_DIR/program.log"; }
echo "PASS"
