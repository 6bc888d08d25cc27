# Shared by the end-to-end tests: a real X server (Xvfb), a real tray host (trayer), a window
# manager (openbox) where one is needed, and the real program, driven with xdotool.
# Source it, then call e2e_begin; everything started is stopped when the script exits.

set -euo pipefail

E2E_PIDS=()
E2E_DIR=""
E2E_PROGRAM_PID=""
# The tray host's panel window, as xwininfo names it; a test of another host sets it.
E2E_PANEL='("panel" "trayer")'
# A command that runs what follows as the desktop's user (empty: as this one).
E2E_AS=()

e2e_skip() {
    echo "SKIP: $*"
    exit 77
}

e2e_fail() {
    echo "FAIL: $*" >&2
    e2e_screenshot "failure" || true
    exit 1
}

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    if [[ -n "$E2E_DIR" && -z "${E2E_KEEP:-}" ]]; then
        rm -rf "$E2E_DIR"
    fi
}

# e2e_home: a fresh temporary folder for the per-user folders, removed when the script exits;
# nothing of the desktop the test was started from reaches the program.
e2e_home() {
    E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/quillmoor-e2e.XXXXXX")
    trap e2e_cleanup EXIT
    export HOME="$E2E_DIR/home" XDG_CONFIG_HOME="$E2E_DIR/home/.config"
    export XDG_RUNTIME_DIR="$E2E_DIR/run" XDG_DATA_DIRS=/usr/local/share:/usr/share
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$E2E_DIR/share/applications"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # The program's data folder: the MIME database, and only the applications a test sets, so
    # that the machine's own never open a document or page (the panels keep the system's).
    ln -s /usr/share/mime "$E2E_DIR/share/mime"
    unset DISPLAY WAYLAND_DISPLAY SWAYSOCK DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM
}

# Starts Xvfb on a free display and a session bus of the test's own, with the per-user folders
# in a fresh temporary folder.
e2e_begin() {
    local tool
    for tool in Xvfb xdotool xwininfo import trayer dbus-daemon; do
        command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
    done
    [[ -x "${QUILLMOOR_BIN:-}" ]] || e2e_fail "QUILLMOOR_BIN does not name the program"
    e2e_home
    export QT_QPA_PLATFORM=xcb
    e2e_session_bus

    local fifo="$E2E_DIR/displayfd" display
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >"$E2E_DIR/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    read -r -t 20 display <"$fifo" || e2e_fail "Xvfb did not start"
    export DISPLAY=":$display"
    echo "X server on $DISPLAY, files in $E2E_DIR"
}

# e2e_desktop: e2e_begin, then the accessibility bus, the window manager and the tray host.
e2e_desktop() { e2e_begin; e2e_start_a11y; e2e_start_wm; e2e_start_tray; }

e2e_start_wm() {
    command -v openbox >/dev/null || e2e_skip "openbox is not installed"
    openbox --sm-disable >"$E2E_DIR/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 10 "the window manager" e2e_has_wm
}

e2e_has_wm() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# How trayer sizes its panel; a test may set a fixed width.
E2E_TRAYER_WIDTH=(--widthtype request)
e2e_start_tray() {
    trayer --edge top --align right "${E2E_TRAYER_WIDTH[@]}" --height 32 --SetDockType true \
        --transparent false --tint 0x808080 >"$E2E_DIR/trayer.log" 2>&1 &
    E2E_TRAYER_PID=$!
    E2E_PIDS+=($E2E_TRAYER_PID)
    e2e_wait 10 "the tray host" e2e_tray_window
}

e2e_stop_tray() {
    kill "$E2E_TRAYER_PID" 2>/dev/null || true
    wait "$E2E_TRAYER_PID" 2>/dev/null || true
}

# The tray host's panel window.
e2e_tray_window() {
    local tree
    tree=$(xwininfo -root -tree 2>/dev/null) || return 1
    awk -v panel="$E2E_PANEL" 'index($0, panel) { print $1; found=1; exit }
        END { exit !found }' <<<"$tree"
}

# Starts the program; its output goes to $E2E_DIR/program.log.
e2e_start_program() {
    XDG_DATA_DIRS="$E2E_DIR/share" "$QUILLMOOR_BIN" >"$E2E_DIR/program.log" 2>&1 &
    E2E_PROGRAM_PID=$!
    E2E_PIDS+=($E2E_PROGRAM_PID)
}

# e2e_start_in_tray: starts the program and waits for its icon in the tray.
e2e_start_in_tray() { e2e_start_program; e2e_wait 20 "the icon in the tray" e2e_icon_window; }

# e2e_viewer: the application set for text files, which notes each file it is given in
# $E2E_DIR/opened.
e2e_viewer() {
    local viewer="$E2E_DIR/share/viewer"
    printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s/opened"\n' "$E2E_DIR" >"$viewer"
    chmod +x "$viewer"
    printf '[Desktop Entry]\nType=Application\nName=Viewer\nExec=%s %%f\nMimeType=text/plain;\n' \
        "$viewer" >"$E2E_DIR/share/applications/viewer.desktop"
    printf '[Default Applications]\ntext/plain=viewer.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
}

# The class of the windows that hold the program's icon in the tray host, as xwininfo names it
# (under Wine, its explorer.exe hosts them all).
E2E_ICON_CLASS='("quillmoor" "quillmoor")'

# The window ids of the program's icons embedded in the tray host, one a line.
e2e_icon_windows() {
    local tree
    tree=$(xwininfo -root -tree 2>/dev/null) || return 0
    awk -v panel="$E2E_PANEL" -v class="$E2E_ICON_CLASS" '
        index($0, panel) { inpanel=1; depth=index($0, "0x"); next }
        inpanel && index($0, "0x") > 0 && index($0, "0x") <= depth { inpanel=0 }
        inpanel && index($0, class) { print $1 }' <<<"$tree"
}

# The program's icon in the tray host; fails when there is none.
e2e_icon_window() { e2e_icon_windows | head -n 1 | grep .; }

e2e_icon_count() { e2e_icon_windows | wc -l; }

e2e_no_icon() { [[ $(e2e_icon_count) -eq 0 ]]; }

# e2e_drawn WINDOW: it shows more than two colours, so something is drawn in it.
e2e_drawn() {
    (($(import -window "$1" txt:- 2>/dev/null | awk 'NR > 1 { print $3 }' | sort -u | wc -l) > 2))
}

# e2e_menu_window [CLASS]: the id of a visible popup menu of the program (or of CLASS's).
e2e_menu_window() {
    local w
    for w in $(xdotool search --onlyvisible --classname "${1:-quillmoor}" 2>/dev/null); do
        # Not the balloon beside the icon, which is a tooltip.
        if xwininfo -id "$w" | grep -q 'Override Redirect State: yes' \
            && ! xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q TOOLTIP \
            && [[ $(xwininfo -id "$w" | awk '/Height:/ { print $2 }') -gt 100 ]]; then
            printf '0x%x\n' "$w"
            return 0
        fi
    done
    return 1
}

e2e_no_menu() { ! e2e_menu_window; }

# The tray menu's items, in the order a user sees them: the one list the tests share.
mapfile -t E2E_MENU <"$(dirname "${BASH_SOURCE[0]}")/../support/menu.txt"

# e2e_menu_position CAPTION: prints the item's place in the tray menu, counted from 1; fails the
# test when there is no such item.
e2e_menu_position() {
    local place
    for place in "${!E2E_MENU[@]}"; do
        [[ ${E2E_MENU[place]} == "$1" ]] && { echo $((place + 1)); return; }
    done
    e2e_fail "the tray menu has no item \"$1\""
}

# e2e_open_menu: the tray menu opens on a click on the icon. A click right after the menu has
# closed can go unanswered, as it does for a user, who clicks again.
e2e_open_menu() {
    local tries=0
    until e2e_click_icon 3 && e2e_try 3 e2e_menu_window; do
        ((++tries < 5)) || e2e_fail "the menu did not open"
    done
}

# Set where the menu's keyboard focus is not to be relied on (Wine): e2e_choose then clicks the
# item's row.
E2E_MENU_CLICK=""

# e2e_choose CAPTION: opens the tray menu and chooses the item with that caption; on a host that
# holds the program's item, through the menu it exports.
e2e_choose() {
    local place menu width height
    if e2e_sni_has_item 2>/dev/null; then e2e_sni_click "$1"; return; fi
    place=$(e2e_menu_position "$1") || exit 1
    e2e_open_menu
    menu=$(e2e_menu_window)
    if [[ -n $E2E_MENU_CLICK ]]; then
        # The items are rows of one height, with no separators between them.
        read -r width height < <(e2e_window_size "$menu")
        xdotool mousemove --window "$menu" $((width / 2)) \
            $((height * (2 * place - 1) / (2 * ${#E2E_MENU[@]}))) sleep 0.3 click 1
    else
        # shellcheck disable=SC2046 # one key name a word
        xdotool key --delay 80 $(printf 'Down %.0s' $(seq "$place")) Return
    fi
    # That window, not any: the item may bring up a notice of the same kind.
    e2e_wait 5 "the menu to close" e2e_unmapped "$menu"
}

e2e_unmapped() {
    ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable
}

# e2e_wait SECONDS WHAT COMMAND...: retries COMMAND until it succeeds.
e2e_wait() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || e2e_fail "timed out waiting for $what"
        sleep 0.1
    done
}

# e2e_try SECONDS COMMAND...: like e2e_wait, but returns 1 instead of failing the test.
e2e_try() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# Releases mouse button N (1 left, 2 middle, 3 right) over the tray icon.
e2e_click_icon() {
    local icon
    icon=$(e2e_icon_window) || e2e_fail "no icon in the tray"
    xdotool mousemove --window "$icon" 10 12 click "$1"
}

# e2e_screenshot NAME [WINDOW]: saves the whole screen, or one window with its frame, as
# $E2E_SHOTS/NAME.png (default: the build dir).
e2e_screenshot() {
    local dir="${E2E_SHOTS:-${QUILLMOOR_BUILD:-$E2E_DIR}/screenshots}"
    mkdir -p "$dir"
    if [[ -n ${SWAYSOCK:-} ]]; then "${E2E_AS[@]}" grim - >"$dir/$1.png"
    elif [[ -n ${WAYLAND_DISPLAY:-} ]]; then # GNOME Shell's own, open to a shell in unsafe mode
        gdbus call --session -d org.gnome.Shell.Screenshot -o /org/gnome/Shell/Screenshot \
            -m org.gnome.Shell.Screenshot.Screenshot false false "$dir/$1.png" >/dev/null
    else
        import ${2:+-frame} -window "${2:-root}" "$dir/$1.png"; fi && echo "screenshot: $dir/$1.png"
}

# visible_window TITLE: the id of a visible window of that title; fails when there is none.
visible_window() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .
}

no_window() { ! visible_window "$1"; }

window_count() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l
}

# e2e_window_origin WINDOW: the client area's top-left corner on the screen, as "X Y".
e2e_window_origin() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x=$4 } /Absolute upper-left Y:/ { y=$4 }
        END { print x, y }'
}

# e2e_window_size WINDOW: as "WIDTH HEIGHT".
e2e_window_size() {
    xwininfo -id "$1" | awk '/Width:/ { w=$2 } /Height:/ { h=$2 } END { print w, h }'
}

e2e_move() { # WINDOW X Y
    xdotool windowmove "$1" "$2" "$3"
}

# e2e_press TITLE KEYS...: keys for the program's window of that title, made active first.
e2e_press() {
    local window
    window=$(visible_window "$1") || e2e_fail "no window \"$1\""
    shift
    xdotool windowactivate --sync "$window" 2>/dev/null || true
    e2e_keys "$@"
}

# e2e_keys KEYS...: keys, as xdotool names them, for the active window.
e2e_keys() { xdotool key --delay 60 "$@"; }

# e2e_type TEXT: typed into the active window.
e2e_type() { xdotool type --delay 40 "$1"; }

# e2e_click_at WINDOW X Y: a left click at that place in the window.
e2e_click_at() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# e2e_answer TITLE TEXT: TEXT typed over what the input box of that title holds, then Return.
e2e_answer() {
    e2e_press "$1" ctrl+a
    e2e_type "$2"
    e2e_keys Return
}

# e2e_open ITEM TITLE: chooses the tray menu's ITEM and waits for the window TITLE it brings up.
e2e_open() {
    e2e_choose "$1"
    e2e_wait 10 "the window \"$2\"" visible_window "$2"
}

e2e_not_active() { [[ $(xdotool getactivewindow 2>/dev/null) != "$1" ]]; }

# e2e_close TITLE: closes the window as the user would, with the window manager's Alt+F4.
e2e_close() {
    e2e_press "$1" --clearmodifiers alt+F4
    e2e_wait 10 "\"$1\" to close" no_window "$1"
}

# e2e_exit: "Exit" from the tray menu ends the program with status 0.
e2e_exit() {
    local status=0
    e2e_choose Exit
    wait "$E2E_PROGRAM_PID" || status=$?
    [[ $status -eq 0 ]] || e2e_fail "Exit ended the program with status $status"
}

# The sanitizers found no fault in the program.
e2e_no_faults() {
    ! grep -i -E 'runtime error|AddressSanitizer|LeakSanitizer' "$E2E_DIR/program.log" ||
        e2e_fail "the sanitizers reported a fault"
}

e2e_store() {
    echo "$XDG_CONFIG_HOME/quillmoor/61027.ini"
}

# Service files the test brings for its bus, which knows no others.
E2E_BUS_SERVICES=()

# A private session bus at $XDG_RUNTIME_DIR/bus; called again, it comes back at that address.
e2e_session_bus() {
    mkdir -p "$E2E_DIR/services"
    [[ ${#E2E_BUS_SERVICES[@]} -eq 0 ]] || cp "${E2E_BUS_SERVICES[@]}" "$E2E_DIR/services/"
    sed "s|</busconfig>|<servicedir>$E2E_DIR/services</servicedir></busconfig>|" \
        "$(dirname "${BASH_SOURCE[0]}")/../support/session-bus.conf" >"$E2E_DIR/bus.conf"
    "${E2E_AS[@]}" dbus-daemon --config-file="$E2E_DIR/bus.conf" --nofork --print-address \
        --address="unix:path=$XDG_RUNTIME_DIR/bus" >"$E2E_DIR/bus.address" 2>>"$E2E_DIR/bus.log" &
    E2E_BUS_PID=$!
    E2E_PIDS+=($E2E_BUS_PID)
    e2e_wait 10 "the session bus" test -S "$XDG_RUNTIME_DIR/bus"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
}

# Stops a process with the helpers it started (a panel's plug-ins).
e2e_stop() {
    pkill -P "$1" 2>/dev/null || true
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

e2e_not() { ! "$@"; }

# The desktop's services on the bus: the StatusNotifier item, accessibility, notices.
source "$(dirname "${BASH_SOURCE[0]}")/services.sh"
