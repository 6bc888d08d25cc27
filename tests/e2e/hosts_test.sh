#!/usr/bin/env bash
# The program on two desktops' panels, on X with a private session bus. xfce: xfce4-panel's
# systray plug-in, host and XEmbed tray in one: one icon whichever starts first, across panel
# and bus restarts; both buttons open the host's menu, whose items work. lxqt: lxqt-panel's
# statusnotifier plug-in beside trayer: the icon moves to trayer and back as the panel goes and
# comes; the left button opens the program's own menu.
source "$(dirname "$0")/lib.sh"
host=${1:?xfce or lxqt}
command -v "$host"4-panel >/dev/null || command -v "$host"-panel >/dev/null ||
    e2e_skip "the $host panel is not installed"
# The panel's settings service, started on demand by the test's bus.
[[ $host == lxqt ]] || E2E_BUS_SERVICES=(/usr/share/dbus-1/services/org.xfce.Xfconf.service)
e2e_begin
conf="$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
mkdir -p "$conf" "$XDG_CONFIG_HOME/lxqt"
printf '<channel name="xfce4-panel" version="1.0"><property name="configver" type="int" value="2"/>
<property name="panels" type="array"><value type="int" value="1"/><property name="panel-1" type="empty">
<property name="position" type="string" value="p=6;x=0;y=0"/><property name="length" type="uint" value="100"/>
<property name="position-locked" type="bool" value="true"/><property name="size" type="uint" value="32"/>
<property name="plugin-ids" type="array"><value type="int" value="1"/></property></property></property>
<property name="plugins" type="empty"><property name="plugin-1" type="string" value="systray"/></property>
</channel>\n' >"$conf/xfce4-panel.xml"
printf '[General]\npanels=panel1\n[panel1]\nplugins=sni\nposition=Top\n[sni]\ntype=statusnotifier\n' \
    >"$XDG_CONFIG_HOME/lxqt/panel.conf"

start_panel() {
    if [[ $host == xfce ]]; then xfce4-panel --disable-wm-check; else lxqt-panel; fi \
        >>"$E2E_DIR/panel.log" 2>&1 &
    PANEL_PID=$!
    E2E_PIDS+=($PANEL_PID)
}

# one_item [WHEN]: the program's item comes to the host, and it is the only icon.
one_item() {
    e2e_wait 30 "the item at the host${1:-}" e2e_sni_has_item
    e2e_wait 10 "one icon${1:-}" e2e_one_icon
}

if [[ $host == xfce ]]; then
    E2E_PANEL='("xfce4-panel" "Xfce4-panel")'
    echo "The program starts first; both buttons open the host's menu, whose items work"
    e2e_start_program
    e2e_wait 20 "the program to answer, its tray set up" e2e_answers
    start_panel
    one_item
    for button in 1 3; do
        xdotool mousemove 11 16 click "$button" # the panel's one item, at the top left
        e2e_wait 10 "the host's menu (button $button)" e2e_menu_window wrapper # the panel plug-in's
        e2e_keys Escape
        e2e_wait 5 "the host's menu to close" e2e_not e2e_menu_window wrapper
    done
    e2e_sni_click Activate
    e2e_wait 5 "the deactivated tooltip" e2e_sni_tooltip_says Deactivated
    e2e_sni_click About
    e2e_wait 10 "the About box" visible_window "About Quillmoor 1.0"

    echo "The panel restarts, then the session bus: the item returns, once"
    e2e_stop "$PANEL_PID"
    e2e_wait 10 "the host to go" e2e_not e2e_sni_registered
    start_panel
    one_item " after the restart"
    e2e_stop "$PANEL_PID"
    e2e_stop "$E2E_BUS_PID"
    e2e_session_bus
    start_panel
    one_item " on the new bus"
else
    e2e_start_tray
    # Not waited for: the panel's host may register before or after the program asks.
    echo "The program starts while the panel comes up: the panel's item is the icon"
    start_panel
    e2e_start_program
    one_item
    xdotool mousemove 14 15 click 1
    e2e_wait 5 "the menu" e2e_menu_window
    e2e_keys Escape

    echo "The panel goes: the icon moves to trayer, and back when the panel returns"
    for cycle in 1 2; do
        e2e_stop "$PANEL_PID"
        e2e_wait 20 "the icon in trayer ($cycle)" e2e_icon_window
        e2e_wait 10 "one icon without the panel ($cycle)" e2e_one_icon
        start_panel
        one_item " with the panel back ($cycle)"
    done
fi

for run in first second; do
    echo "Exit in the host's menu ($run run)"
    e2e_sni_click Exit
    wait "$E2E_PROGRAM_PID" || e2e_fail "Exit ended the program with status $?"
    e2e_no_faults
    [[ $host == xfce && $run == first ]] || break
    echo "The program starts after the panel: one icon, the host's"
    e2e_start_program
    one_item
done
echo "PASS: $host"
