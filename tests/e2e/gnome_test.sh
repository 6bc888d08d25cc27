#!/usr/bin/env bash
# The program in GNOME Shell's top bar through the AppIndicator extension, on X11 (Xvfb) or on
# headless Wayland: a private session bus, a second one standing in for the system bus with
# logind's stand-in on it. The shell runs in unsafe mode, so its Eval tells where the
# extension put the program's icon and the items of the menu it built from the exported one;
# the pointer goes there through mutter's RemoteDesktop API, as a remote user's would.
source "$(dirname "$0")/lib.sh"
mode=${1:?x11 or wayland}
extension=ubuntu-appindicators@ubuntu.com

# ./test.sh installs the shell as root; elsewhere it may be missing, and only then is this skipped.
if ! command -v gnome-shell >/dev/null || [[ ! -d /usr/share/gnome-shell/extensions/$extension ]]; then
    [[ $(id -u) -eq 0 ]] || e2e_skip "GNOME Shell or its AppIndicator extension is not installed (./test.sh installs them as root)"
    e2e_fail "GNOME Shell or its AppIndicator extension is not installed (scripts/packages-test.txt)"
fi
/usr/bin/python3 -c 'import dbusmock' 2>/dev/null || e2e_fail "python3-dbusmock is not installed"

if [[ $mode == x11 ]]; then
    e2e_begin
else
    [[ -x "${QUILLMOOR_BIN:-}" ]] || e2e_fail "QUILLMOOR_BIN does not name the program"
    e2e_home
    e2e_session_bus
    export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=quillmoor-gnome
    # Mesa's EGL has no frame pointers: the slow unwinder lets its leaks match the suppressions.
    export ASAN_OPTIONS="${ASAN_OPTIONS:-}:fast_unwind_on_malloc=0"
fi

# The system bus's stand-in, with logind on it.
dbus-daemon --config-file="$E2E_DIR/bus.conf" --nofork --address="unix:path=$E2E_DIR/system_bus" \
    2>>"$E2E_DIR/bus.log" &
E2E_PIDS+=($!)
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$E2E_DIR/system_bus"
e2e_wait 10 "the system bus" test -S "$E2E_DIR/system_bus"
/usr/bin/python3 -m dbusmock --system --template logind >"$E2E_DIR/logind.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait 10 "logind" gdbus call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 \
    -m org.freedesktop.DBus.Peer.Ping

# The shell's settings in a file of the test's own: the extension on, no animations to wait for,
# no welcome tour, no notice that the screen cannot lock without GDM.
export GSETTINGS_BACKEND=keyfile
mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
printf "[org/gnome/shell]\nenabled-extensions=['%s']\nwelcome-dialog-last-shown-version='999'
[org/gnome/desktop/interface]\nenable-animations=false
[org/gnome/desktop/screensaver]\nlock-enabled=false\n" "$extension" \
    >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"

if [[ $mode == x11 ]]; then
    gnome-shell --x11 --sm-disable --unsafe-mode >"$E2E_DIR/shell.log" 2>&1 &
else
    gnome-shell --wayland --headless --virtual-monitor 1024x768 --no-x11 --unsafe-mode \
        --wayland-display "$WAYLAND_DISPLAY" >"$E2E_DIR/shell.log" 2>&1 &
fi
E2E_PIDS+=($!)

# shell JS: prints what the JavaScript expression gives, as JSON; fails when the shell does not
# answer or the expression throws.
shell() {
    local out
    out=$(gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.gnome.Shell.Eval "$1" \
        2>/dev/null) || return 1
    [[ $out == "(true, '"*"')" ]] || return 1
    out=${out#"(true, '"}
    echo "${out%"')"}"
}

# shell_says JS TEXT: the expression gives TEXT.
shell_says() {
    [[ $(shell "$1") == "$2" ]]
}

e2e_wait 60 "GNOME Shell" shell_says 'Main.layoutManager._startingUp' false
shell 'Main.overview.hide()' >/dev/null
echo "GNOME Shell $(gnome-shell --version | grep -oP '[\d.]+$') on $mode, files in $E2E_DIR"

# The pointer, through one remote desktop session as a remote user's. It starts before the
# program does: the shell shows the session in the top bar, which moves the icons there.
# Each line it reads, "BUTTON JS", moves the pointer to the middle of the actor that JS gives
# and clicks there with BUTTON (evdev: 272 left, 273 right); it answers "ok" or what failed.
# Moves are relative, as absolute ones need a screen cast, and the shell tells where the pointer
# went. A click follows the one before after the double-click time, as a user's single clicks do.
# A shell restarted on X ends the session: it starts a new one.
mkfifo "$E2E_DIR/pointer.in" "$E2E_DIR/pointer.out"
/usr/bin/python3 - "$E2E_DIR/pointer.in" "$E2E_DIR/pointer.out" <<'PY' 2>"$E2E_DIR/pointer.log" &
import dbus, json, sys, time
bus = dbus.SessionBus()
def call(service, path, interface, method, *args):
    return getattr(dbus.Interface(bus.get_object(service, path), interface), method)(*args)
def shell(js):
    return json.loads(call('org.gnome.Shell', '/org/gnome/Shell', 'org.gnome.Shell', 'Eval', js)[1])
def session(method, *args):
    return call('org.gnome.Mutter.RemoteDesktop', path, 'org.gnome.Mutter.RemoteDesktop.Session',
                method, *args)
def start():
    global path
    path = call('org.gnome.Mutter.RemoteDesktop', '/org/gnome/Mutter/RemoteDesktop',
                'org.gnome.Mutter.RemoteDesktop', 'CreateSession')
    session('Start')
def click(button, actor):
    global last
    centre = f"""(a => {{ const [x, y] = a.get_transformed_position();
        const [w, h] = a.get_transformed_size(); return [x + w / 2, y + h / 2].map(Math.round); }})"""
    # What the pointer is over: the top bar moves when the shell shows a new session.
    over = f"""(a => a.contains(global.stage.get_actor_at_pos(imports.gi.Clutter.PickMode.REACTIVE,
        ...global.get_pointer().slice(0, 2))))"""
    for _ in range(100):
        x, y = shell(f'{centre}({actor})')
        px, py, _ = shell('global.get_pointer()')
        if (px, py) == (x, y) and shell(f'{over}({actor})'):
            break
        if x is not None and (px, py) != (x, y):  # None: not laid out yet
            session('NotifyPointerMotionRelative', float(x - px), float(y - py))
        time.sleep(0.05)
    else:
        return f'the pointer did not reach {x},{y}'
    time.sleep(max(0, last + shell('imports.gi.Clutter.Settings.get_default().double_click_time') / 1000 - time.time()))
    session('NotifyPointerButton', button, True)
    session('NotifyPointerButton', button, False)
    last = time.time()
    return 'ok'
last = 0
start()
with open(sys.argv[1]) as commands, open(sys.argv[2], 'w', buffering=1) as answers:
    for line in commands:
        button, actor = line.split(' ', 1)
        try:
            answer = click(int(button), actor)
        except dbus.DBusException as error:
            try:
                start()
                answer = click(int(button), actor)
            except Exception as error:
                answer = str(error)
        except Exception as error:
            answer = str(error)
        print(answer, file=answers)
PY
E2E_PIDS+=($!)
exec {pointer_in}>"$E2E_DIR/pointer.in" {pointer_out}<"$E2E_DIR/pointer.out"

# pointer BUTTON JS: the pointer clicks with BUTTON in the middle of the actor JS gives.
pointer() {
    local answer
    echo "$1 $(tr '\n' ' ' <<<"$2")" >&"$pointer_in"
    read -r -t 60 answer <&"$pointer_out" || e2e_fail "the pointer does not answer"
    [[ $answer == ok ]] || e2e_fail "the pointer: $answer"
}

# The program's icons in the top bar: the extension keys each by its item's unique name and
# path, or by the process id of an icon it embeds through XEmbed.
icons() {
    local owner
    owner=$(e2e_sni_owner 2>/dev/null) || owner=none
    echo "Object.entries(Main.panel.statusArea).filter(([k, i]) => i && i.visible
        && (k.startsWith('appindicator-$owner@') || k.startsWith('appindicator-legacy:')
        && k.endsWith(':$E2E_PROGRAM_PID'))).map(([, i]) => i)"
}

# Evaluated at each try: the program's name on the bus comes and goes.
icon_count_is() { shell_says "$(icons).length" "$1"; }
menu_open_is() { shell_says "$(icons)[0]?.menu.isOpen ?? false" "$1"; }

# The items of the menu the extension built, as a user reads them.
menu_items() {
    echo "$(icons)[0].menu._getMenuItems().filter(m => m.visible && m.label?.text)"
}

menu_ready() { shell_says "$(menu_items).length" "${#E2E_MENU[@]}"; }

# open_menu BUTTON: a click with BUTTON on the icon opens the extension's menu, once the
# extension has read it (before, a click opens nothing).
open_menu() {
    e2e_wait 20 "one icon in the top bar" icon_count_is 1
    e2e_wait 20 "the extension to read the menu" menu_ready
    pointer "$1" "$(icons)[0]"
    e2e_wait 10 "the extension's menu" menu_open_is true
}

# choose CAPTION: the pointer opens the menu and clicks its item of that caption.
choose() {
    open_menu 272
    pointer 272 "$(menu_items).find(m => m.label.text === '$1')"
    e2e_wait 10 "the menu to close" menu_open_is false
}

window_titles() { shell "global.get_window_actors().map(a => a.meta_window.get_title()).join('|')"; }

has_window() { [[ "|$(window_titles | tr -d '"')|" == *"|$1|"* ]]; }

one_icon() {
    e2e_wait 30 "the icon in the top bar${1:-}" icon_count_is 1
    [[ $(e2e_sni_count) -eq 1 ]] || e2e_fail "the extension holds $(e2e_sni_count) items of the program's"
}

echo "The program starts: its icon appears once"
e2e_start_program
one_icon
e2e_screenshot "gnome-$mode-icon"

echo "Both buttons open the extension's menu, which lists the program's items"
for button in 272 273; do
    open_menu "$button"
    captions=$(shell "$(menu_items).map(m => m.label.text).join('|')")
    menu=$(IFS='|'; echo "${E2E_MENU[*]}")
    [[ $captions == "\"$menu\"" ]] || e2e_fail "the menu holds: $captions"
    shell "$(icons)[0].menu.close()" >/dev/null
done

echo "Activate and About through the extension's menu"
choose Activate
e2e_wait 5 "the deactivated tooltip" e2e_sni_tooltip_says Deactivated
choose Activate
e2e_wait 5 "the activated tooltip" e2e_sni_tooltip_says "- Activated"
choose About
e2e_wait 10 "the About box" has_window "About Quillmoor 1.0"
e2e_screenshot "gnome-$mode-about"

extensions() {
    gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell \
        -m "org.gnome.Shell.Extensions.$1Extension" "$extension" >/dev/null
}

echo "The extension is switched off and on: the icon goes, and returns once"
extensions Disable
e2e_wait 10 "the icon to go" icon_count_is 0
e2e_answers >/dev/null && kill -0 "$E2E_PROGRAM_PID" || e2e_fail "the program ended with the extension"
extensions Enable
one_icon " with the extension back"

if [[ $mode == x11 ]]; then
    echo "The shell restarts: the icon returns once"
    # The restarted shell knows nothing of what this one was told.
    shell 'globalThis.quillmoorBefore = true' >/dev/null
    shell 'imports.gi.Meta.restart("", global.context)' >/dev/null
    e2e_wait 60 "the shell to restart" shell_says 'typeof globalThis.quillmoorBefore' '"undefined"'
    e2e_wait 60 "the shell to start up" shell_says 'Main.layoutManager._startingUp' false
    one_icon " after the restart"
fi

echo "Exit in the extension's menu"
choose Exit
wait "$E2E_PROGRAM_PID" || e2e_fail "Exit ended the program with status $?"
e2e_wait 10 "the icon to go" shell_says "Object.keys(Main.panel.statusArea).some(k => k.startsWith('appindicator-'))" false
e2e_no_faults
echo "PASS: gnome $mode"
