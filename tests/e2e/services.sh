# Sourced by lib.sh: the desktop's services on the test's session bus, as the program meets
# them: a StatusNotifier host and its watcher, the accessibility bus a screen reader reads, and
# a notification service.

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
