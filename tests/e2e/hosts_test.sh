#!/usr/bin/env bash
# The program on the panels of two desktops, on X with a private session bus.
#   xfce: xfce4-panel's systray plug-in, host and XEmbed tray in one: one icon whichever starts
#         first, across a panel restart and a restart of the session bus; the host's menu opens
#         on a click, and its items work.
#   lxqt: lxqt-panel's statusnotifier plug-in beside trayer: the icon moves to the XEmbed tray
#         when the panel goes and back when it returns; the left button opens the menu.
source "$(dirname "$0")/lib.sh"
host=${1:?xfce or lxqt}
e2e_begin
e2e_session_bus
printf '[Main]\nInterval=0\n' >"$(mkdir -p "$XDG_CONFIG_HOME/quillmoor" && e2e_store)"

start_panel() {
    if [[ $host == xfce ]]; then
        xfce4-panel --disable-wm-check >>"$E2E_DIR/panel.log" 2>&1 &
    else
        lxqt-panel >>"$E2E_DIR/panel.log" 2>&1 &
    fi
    PANEL_PID=$!
    E2E_PIDS+=($PANEL_PID)
}

# A menu of ten items that the panel's plug-in opened.
host_menu() {
    local w
    for w in $(xdotool search --onlyvisible --classname wrapper 2>/dev/null); do
        xwininfo -id "$w" | grep -q 'Override Redirect State: yes' &&
            [[ $(xwininfo -id "$w" | awk '/Height:/ { print $2 }') -gt 100 ]] && return 0
    done
    return 1
}

no_host_menu() {
    ! host_menu
}

if [[ $host == xfce ]]; then
    command -v xfce4-panel >/dev/null || e2e_skip "xfce4-panel is not installed"
    E2E_PANEL='("xfce4-panel" "Xfce4-panel")'
    xml="$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
    mkdir -p "$xml"
    cat >"$xml/xfce4-panel.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="32"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
EOF

    echo "The program starts first, then the panel: one icon, the host's"
    e2e_start_program
    sleep 1
    start_panel
    e2e_wait 20 "the item at the host" e2e_sni_has_item
    e2e_wait 10 "one icon" e2e_one_icon

    echo "The left and the right button open the host's menu; its items work"
    for button in 1 3; do
        xdotool mousemove 11 16 click "$button" # the panel's first item, at the top left
        e2e_wait 10 "the host's menu (button $button)" host_menu
        e2e_screenshot "xfce-menu-$button"
        xdotool key Escape
        e2e_wait 5 "the host's menu to close" no_host_menu
    done
    e2e_sni_click Activate
    e2e_wait 5 "the deactivated tooltip" e2e_sni_tooltip_says Deactivated
    e2e_sni_click About
    e2e_wait 10 "the About box" xdotool search --onlyvisible --name "About Quillmoor"

    echo "The panel restarts, then the session bus: the item returns, once"
    e2e_stop "$PANEL_PID"
    e2e_wait 10 "the host to go" e2e_sni_no_host
    start_panel
    e2e_wait 20 "the item back at the host" e2e_sni_has_item
    e2e_wait 10 "one icon after the restart" e2e_one_icon
    e2e_stop "$PANEL_PID"
    e2e_stop_bus
    e2e_session_bus
    start_panel
    e2e_wait 30 "the item back on the new bus" e2e_sni_has_item
    e2e_wait 10 "one icon on the new bus" e2e_one_icon
else
    command -v lxqt-panel >/dev/null || e2e_skip "lxqt-panel is not installed"
    mkdir -p "$XDG_CONFIG_HOME/lxqt"
    printf '[General]\n__userfile__=true\npanels=panel1\n[panel1]\nplugins=statusnotifier
position=Top\ndesktop=0\npanelSize=32\n[statusnotifier]\ntype=statusnotifier\n' \
        >"$XDG_CONFIG_HOME/lxqt/panel.conf"
    e2e_start_tray
    start_panel

    echo "The program starts beside the panel and trayer: one icon, the host's"
    e2e_start_program
    e2e_wait 20 "the item at the host" e2e_sni_has_item
    e2e_wait 10 "one icon" e2e_one_icon

    echo "The left button (Activate) opens the program's own menu at the pointer"
    xdotool mousemove 14 15 click 1 # the panel's first item, at the screen's top left
    e2e_wait 5 "the menu" e2e_menu_window
    xdotool key Escape

    echo "The panel goes: the icon moves to trayer, and back when the panel returns"
    for cycle in 1 2; do
        e2e_stop "$PANEL_PID"
        e2e_wait 20 "the icon in trayer ($cycle)" e2e_icon_window
        e2e_wait 10 "one icon without the panel ($cycle)" e2e_one_icon
        start_panel
        e2e_wait 20 "the item back at the host ($cycle)" e2e_sni_has_item
        e2e_wait 10 "one icon with the panel ($cycle)" e2e_one_icon
    done
fi

exit_program() {
    e2e_sni_click Exit
    status=0
    wait "$E2E_PROGRAM_PID" || status=$?
    [[ $status -eq 0 ]] || e2e_fail "Exit ended the program with status $status"
}

echo "Exit in the host's menu"
exit_program
if [[ $host == xfce ]]; then
    echo "The program starts after the panel: one icon, the host's"
    e2e_start_program
    e2e_wait 20 "the item at the host" e2e_sni_has_item
    e2e_wait 10 "one icon" e2e_one_icon
    exit_program
fi
grep -i -E 'runtime error|AddressSanitizer|LeakSanitizer' "$E2E_DIR/program.log" &&
    e2e_fail "the sanitizers reported a fault"
echo "PASS: $host"
