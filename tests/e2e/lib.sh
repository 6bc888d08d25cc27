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

# The window ids of the program's icons embedded in the tray host, one a line.
e2e_icon_windows() {
    local tree
    tree=$(xwininfo -root -tree 2>/dev/null) || return 0
    awk -v panel="$E2E_PANEL" '
        index($0, panel) { inpanel=1; depth=index($0, "0x"); next }
        inpanel && index($0, "0x") > 0 && index($0, "0x") <= depth { inpanel=0 }
        inpanel && /\("quillmoor" "quillmoor"\)/ { print $1 }' <<<"$tree"
}

# The program's icon in the tray host; fails when there is none.
e2e_icon_window() { e2e_icon_windows | head -n 1 | grep .; }

e2e_icon_count() { e2e_icon_windows | wc -l; }

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

# The tray menu's items, in the order a user sees them.
E2E_MENU=("Edit Launch List" "Activate" "Set Launch Interval" "Launch Now" "Edit SysTray Icon"
    "Add To Startup" "Remove From Startup" "About" "Read Me!!" "Exit")

# e2e_menu_position CAPTION: prints the item's place in the tray menu, counted from 1; fails the
# test when there is no such item.
e2e_menu_position() {
    local place
    for place in "${!E2E_MENU[@]}"; do
        [[ ${E2E_MENU[place]} == "$1" ]] && { echo $((place + 1)); return; }
    done
    e2e_fail "the tray menu has no item \"$1\""
}

# e2e_choose CAPTION: opens the tray menu and chooses the item with that caption; on a host that
# holds the program's item, through the menu it exports. A click right after the menu has closed
# can go unanswered, as it does for a user, who clicks again.
e2e_choose() {
    local place menu tries=0
    if e2e_sni_has_item 2>/dev/null; then e2e_sni_click "$1"; return; fi
    place=$(e2e_menu_position "$1") || exit 1
    until e2e_click_icon 3 && e2e_try 2 e2e_menu_window; do
        ((++tries < 5)) || e2e_fail "the menu did not open"
    done
    menu=$(e2e_menu_window)
    # shellcheck disable=SC2046 # one key name a word
    xdotool key --delay 80 $(printf 'Down %.0s' $(seq "$place")) Return
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

e2e_bus() {
    "${E2E_AS[@]}" gdbus call --session "$@"
}

# The program's item: the calls a host makes, by its well-known name.
e2e_sni_item() {
    e2e_bus --dest "org.kde.StatusNotifierItem-$E2E_PROGRAM_PID-0" "$@"
}

e2e_sni_property() {
    e2e_sni_item -o /StatusNotifierItem -m org.freedesktop.DBus.Properties.Get \
        org.kde.StatusNotifierItem "$1"
}

# Answers when the program answers a call on its item. It handles calls in turn with its other
# events, so the answer to a call made after an event says that event has been handled.
e2e_answers() {
    e2e_sni_property Status
}

e2e_sni_menu() {
    e2e_sni_item -o /MenuBar -m "com.canonical.dbusmenu.$1" -- "${@:2}"
}

# The items the host's watcher holds, one a line.
e2e_sni_registered() {
    e2e_bus -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher -m \
        org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        RegisteredStatusNotifierItems | grep -oP "'\K[^']+(?=')"
}

# The unique name of the program's item on the bus.
e2e_sni_owner() {
    e2e_bus -d org.freedesktop.DBus -o /org/freedesktop/DBus -m \
        org.freedesktop.DBus.GetNameOwner "org.kde.StatusNotifierItem-$E2E_PROGRAM_PID-0" |
        grep -oP "'\K:[^']*"
}

# How many items of the program's the host holds, known by its unique name (GNOME's watcher
# lists them as name@path).
e2e_sni_count() {
    local owner
    owner=$(e2e_sni_owner) || { echo 0; return; }
    e2e_sni_registered | grep -c -- "^$owner\(@\?/\|$\)" || true
}

# A StatusNotifierWatcher without a host (as kded5 outside Plasma), its calls in watcher.log.
E2E_WATCHER=(-d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher -m org.freedesktop.DBus.Mock)
e2e_bare_watcher() {
    "${E2E_AS[@]}" /usr/bin/python3 -m dbusmock --session org.kde.StatusNotifierWatcher \
        /StatusNotifierWatcher org.kde.StatusNotifierWatcher -l "$E2E_DIR/watcher.log" &>/dev/null &
    E2E_PIDS+=($!)
    e2e_wait 10 "the watcher" e2e_bus "${E2E_WATCHER[@]}.AddProperty" "" \
        IsStatusNotifierHostRegistered "<false>"
    e2e_bus "${E2E_WATCHER[@]}.AddMethod" "" RegisterStatusNotifierItem s "" "" >/dev/null
}

# e2e_watcher_host Registered|Unregistered true|false: a host comes to the watcher, or goes.
e2e_watcher_host() {
    e2e_bus "${E2E_WATCHER[@]}.UpdateProperties" "" "{'IsStatusNotifierHostRegistered': <$2>}" &&
        e2e_bus "${E2E_WATCHER[@]}.EmitSignal" "" "StatusNotifierHost$1" "" "[]"
}

# Whether a watcher runs and says that a host has registered with it.
e2e_sni_host() {
    e2e_bus -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher -m \
        org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        IsStatusNotifierHostRegistered | grep -q true
}

e2e_sni_has_item() {
    [[ $(e2e_sni_count) -eq 1 ]]
}

# Exactly one icon: the host's item or Qt's icon in the XEmbed tray, never both.
e2e_one_icon() {
    [[ $(($(e2e_sni_count) + $(e2e_icon_count))) -eq 1 ]]
}

# e2e_sni_click CAPTION: the host's menu item of that caption is chosen.
e2e_sni_click() {
    local id
    id=$(e2e_sni_menu GetLayout 0 -1 '[]' | grep -oP "\((\d+), \{[^}]*'label': <'\Q$1\E'>" |
        grep -oP '^\(\K\d+') || e2e_fail "no item \"$1\" in the exported menu"
    e2e_sni_menu Event "$id" clicked '<0>' 0 >/dev/null
}

e2e_sni_tooltip_says() {
    e2e_sni_property ToolTip | grep -q -- "$1"
}

# A session bus with the accessibility bus on it, as a screen reader's desktop has.
e2e_start_a11y() {
    [[ -x /usr/libexec/at-spi-bus-launcher ]] && /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
        e2e_skip "at-spi2-core or python3-pyatspi is not installed"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_DIR/a11y.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 10 "the accessibility bus" gdbus call --session --dest org.a11y.Bus \
        --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress
}

# The program's objects as a screen reader reads them, one a line: "role|name|showing".
e2e_a11y_tree() {
    /usr/bin/python3 -c 'import pyatspi
def walk(node):
    print(node.getRoleName(), node.name, "showing" * node.getState().contains(pyatspi.STATE_SHOWING), sep="|")
    for child in node: walk(child)
[walk(app) for app in pyatspi.Registry.getDesktop(0) if app and app.name == "quillmoor"]'
}

e2e_a11y_has() { grep -qxF "$1" <<<"$(e2e_a11y_tree)"; }
# Some object a screen reader reads holds TEXT in its name.
e2e_a11y_says() { grep -qF -- "$1" <<<"$(e2e_a11y_tree)"; }

# A notification service on the test's bus that notes each notice in $E2E_DIR/notify.log.
e2e_start_notices() {
    /usr/bin/python3 -c 'import dbusmock' 2>/dev/null || e2e_skip "python3-dbusmock is not installed"
    "${E2E_AS[@]}" /usr/bin/python3 -m dbusmock --session -t notification_daemon \
        -l "$E2E_DIR/notify.log" >"$E2E_DIR/dbusmock.log" 2>&1 &
    E2E_NOTICES_PID=$!
    E2E_PIDS+=($E2E_NOTICES_PID)
    e2e_wait 10 "the notification service" e2e_bus -d org.freedesktop.Notifications \
        -o /org/freedesktop/Notifications -m org.freedesktop.Notifications.GetServerInformation
}
