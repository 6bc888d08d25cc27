#!/usr/bin/env bash
# The whole Windows program: quillmoor.exe cross-built with Qt for MinGW, deployed as windeployqt
# would, and used under Wine on Xvfb with trayer as the tray host (Wine docks tray icons into an
# X tray). The verdict comes from what the program did: the tray, the registry, win.ini's
# mapping, the files its launch list wrote, its exit status. The stand-in RasApi32.dll plays
# the dial-up connection, brought up and down through a scenario file.
source "$(dirname "$0")/../e2e/lib.sh"

source_dir=${QUILLMOOR_SOURCE:-$(cd "$(dirname "$0")/../.." && pwd)}
build_dir=${QUILLMOOR_BUILD:-$source_dir/build}
export E2E_SHOTS=$build_dir/screenshots/windows

for tool in x86_64-w64-mingw32-g++-posix wine wineserver winepath cmake ninja makensis wrestool; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is missing (see scripts/packages-test.txt)"
done
status=0
qt=$("$source_dir/scripts/qt-windows.sh" --no-build "$build_dir/qt-windows") || status=$?
((status != 3)) || e2e_skip "no Qt for MinGW at hand: scripts/qt-windows.sh builds one (about 20 minutes)"
((status == 0)) || e2e_fail "scripts/qt-windows.sh failed"

echo "== quillmoor.exe and its deploy folder"
program_build=$build_dir/windows-program
cmake -S "$source_dir" -B "$program_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$program_build" --target deploy
deploy=$program_build/deploy
for file in quillmoor.exe readme.txt Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    [[ -f $deploy/$file ]] || e2e_fail "the deploy folder lacks $file"
done
[[ $(head -c 300 "$deploy/readme.txt") == *$'\r\n'*remote\ access* ]] ||
    e2e_fail "readme.txt is not the Windows one with CRLF line ends"
resources=$(wrestool -l "$deploy/quillmoor.exe")
[[ $resources == *type=group_icon* && $resources == *type=version* ]] ||
    e2e_fail "quillmoor.exe lacks its icon or its version: $resources"
version_text() { wrestool -x --raw --type=version "$1" | tr -d '\0'; }
[[ $(version_text "$deploy/quillmoor.exe") == *LegalCopyright*"Copyright (c) 2026 Corvath Designs"* ]] ||
    e2e_fail "quillmoor.exe has no LegalCopyright"
icon_file=$build_dir/quillmoor-exe.ico
wrestool -x --type=group_icon "$deploy/quillmoor.exe" >"$icon_file"
[[ $(icotool -l "$icon_file") == *--width=256* ]] && LC_ALL=C grep -q $'\x89PNG' "$icon_file" ||
    e2e_fail "the program's icon has no 256 px PNG image"
echo "== the installer"
cmake --build "$program_build" --target package >/dev/null
installer=$program_build/Quillmoor-1.0-win64.exe
(($(stat -c %s "$installer") <= 10 * 1024 * 1024)) || e2e_fail "the installer is over 10 MiB"
installer_version=$(version_text "$installer")
[[ $installer_version == *ProductVersion1.0* && $installer_version == *LegalCopyright*Corvath* ]] ||
    e2e_fail "the installer has no version resource"
echo "== the stand-in RasApi32.dll"
standin_build=$build_dir/windows-standin
cmake -S "$source_dir/tests/windows" -B "$standin_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQUILLMOOR_WINDOWS_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$standin_build" --target rasapi32 hold

# e2e_begin's check of the program to run.
export QUILLMOOR_BIN=$deploy/quillmoor.exe
e2e_begin
# The Linux program's platform choice would send the Windows one looking for xcb.
unset QT_QPA_PLATFORM
export WINEPREFIX=$E2E_DIR/wine WINEDEBUG=-all
# No Mono and Gecko downloads, no menu entries, and the stand-in before Wine's own RasApi32.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;rasapi32=n,b"
trap 'wineserver -k 2>/dev/null || true; e2e_cleanup' EXIT
e2e_start_wm
# A panel that grows as an icon docks leaves Wine with its old size, and Wine then clips the icon
# to it: nothing drawn, no clicks. A fixed width keeps the panel as Wine first saw it.
E2E_TRAYER_WIDTH=(--widthtype pixel --width 96)
e2e_start_tray

echo "== Wine prefix $WINEPREFIX"
timeout 300 wine wineboot --init >"$E2E_DIR/wineboot.log" 2>&1 || true
timeout 120 wineserver -w || true
drive_c=$WINEPREFIX/drive_c
[[ -d $drive_c/windows/system32 ]] || e2e_fail "Wine did not set up $WINEPREFIX"
# The program loads RasApi32.dll from the system folder only.
cp "$standin_build/rasapi32.dll" "$drive_c/windows/system32/rasapi32.dll"

export QUILLMOOR_RAS_SCENARIO_FILE='C:\link.txt'
link() { # none | connected: written whole, so that no probe reads half of it
    echo "$1" >"$drive_c/link.tmp" && mv "$drive_c/link.tmp" "$drive_c/link.txt"
}
link none
export QUILLMOOR_RAS_LISTINGS_FILE='C:\listings.txt'
listings() { stat -c %s "$drive_c/listings.txt" 2>/dev/null || echo 0; }
listings_reach() { (($(listings) >= $1)); }
probes() { # N: waits for N more of the program's probes, each one listing
    e2e_wait 30 "$1 probes" listings_reach $(($(listings) + $1))
}

settings='HKCU\Software\VB and VBA Program Settings\61027\Main'
# win.ini's [windows] as Windows and Wine keep it.
windows_section='HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows'
# reg_value KEY NAME: the value's text, or failure when it is missing.
reg_value() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name && $2 == "REG_SZ" {
                sub(/^ *[^ ]+ +REG_SZ/, ""); sub(/^    /, ""); print; found=1 }
            END { exit !found }'
}
reg_is() { # KEY NAME TEXT
    [[ $(reg_value "$1" "$2") == "$3" ]]
}
wine reg add "$settings" /v "app 1" /d 'cmd /c echo started>> C:\launched.txt' /f >/dev/null 2>&1
# Windows opens .txt files with Notepad; a new Wine prefix knows the program but not the link.
wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
starts() {
    tr -d '\r' <"$drive_c/launched.txt" 2>/dev/null | grep -c '^started' || true
}
starts_reach() { (($(starts) >= $1)); }

# Wine's explorer.exe holds the docked icons, and the menu's keyboard focus is not to be relied
# on under Wine: an item is chosen by a click on its row.
E2E_ICON_CLASS='("explorer.exe" "explorer.exe")'
E2E_MENU_CLICK=1

# Windows has its shell up before any program runs. Wine starts it with the first window, and
# the icon of the program that caused that then finds no tray to dock in.
wine explorer.exe /desktop >"$E2E_DIR/explorer.log" 2>&1 &
E2E_PIDS+=($!)
shell_up() { xwininfo -root -tree 2>/dev/null | grep -qF "$E2E_ICON_CLASS"; }
e2e_wait 60 "Wine's shell" shell_up

echo "== the icon docks in the tray, and its menu opens on a click"
e2e_no_icon || e2e_fail "the tray holds an icon before the program runs"
program=$deploy/quillmoor.exe
start_program() {
    # By its Windows path, C:\... where it is installed, as the Start menu starts it.
    (cd "$drive_c" && exec wine "$(winepath -w "$program")") >>"$E2E_DIR/program.log" 2>&1 &
    E2E_PROGRAM_PID=$!
    E2E_PIDS+=($E2E_PROGRAM_PID)
}
program_ended() { ! kill -0 "$E2E_PROGRAM_PID" 2>/dev/null; }
# Should Wine still dock an icon that it never draws and that takes no clicks, a new start
# docks it anew.
icon_drawn() { e2e_drawn "$(e2e_icon_window)"; }
start_drawn() {
    for attempt in 1 2 3 4 5; do
        start_program
        e2e_wait 60 "the icon in the tray" e2e_one_icon
        e2e_try 10 icon_drawn && break
        echo "Wine docked a blank icon; starting the program again"
        kill "$E2E_PROGRAM_PID"
        wait "$E2E_PROGRAM_PID" 2>/dev/null || true
        e2e_wait 20 "the blank icon to leave the tray" e2e_no_icon
    done
    icon_drawn || e2e_fail "Wine docked only blank icons"
}
start_drawn
e2e_open_menu
e2e_screenshot windows-menu
e2e_keys Escape
e2e_wait 5 "the menu to close" e2e_no_menu

echo "== Set Launch Interval lands in the registry"
e2e_choose "Set Launch Interval"
e2e_wait 10 "the input box" visible_window Quillmoor
e2e_screenshot windows-interval
e2e_press Quillmoor ctrl+a
e2e_type 0.2
e2e_keys Return
e2e_wait 15 "Interval in $settings" reg_is "$settings" Interval 0.2

echo "== Add To Startup and Remove From Startup: run in [windows] of win.ini"
e2e_choose "Add To Startup"
in_run() { # by a path without blanks, as run needs
    local run
    run=$(reg_value "$windows_section" run) || return 1
    [[ -n $run && $run != *" "* && $(winepath -u "$run" 2>/dev/null) -ef $program ]]
}
e2e_wait 15 "run to name $program" in_run
e2e_choose "Remove From Startup"
e2e_wait 15 "run to be emptied" reg_is "$windows_section" run ""

echo "== Launch Now starts the list"
e2e_choose "Launch Now"
e2e_wait 15 "the entry of Launch Now" starts_reach 1

echo "== one pass per connection"
link connected
e2e_wait 15 "the pass of the first connection" starts_reach 2
probes 4 # with the connection still up
[[ $(starts) -eq 2 ]] || e2e_fail "the list started $(($(starts) - 1)) times for one connection"
link none
probes 4 # with the connection down
[[ $(starts) -eq 2 ]] || e2e_fail "the list started without a connection"
link connected
e2e_wait 15 "the pass of the second connection" starts_reach 3
probes 4
[[ $(starts) -eq 3 ]] || e2e_fail "the second connection started the list $(($(starts) - 2)) times"
link none

echo "== a second start says that one runs already, and leaves"
second_status=$E2E_DIR/second.status
(
    cd "$drive_c"
    status=0
    wine "$deploy/quillmoor.exe" >"$E2E_DIR/second.log" 2>&1 || status=$?
    echo "$status" >"$second_status"
) &
E2E_PIDS+=($!)
e2e_wait 30 "the box of the second start" visible_window Quillmoor
e2e_screenshot windows-already-running
[[ ! -e $second_status ]] || e2e_fail "the second start left before its box was answered"
e2e_press Quillmoor Return
e2e_wait 15 "the second start to end" test -s "$second_status"
[[ $(<"$second_status") == 0 ]] || e2e_fail "the second start ended with status $(<"$second_status")"
e2e_one_icon || e2e_fail "the tray holds $(e2e_icon_count) icons after the second start"

echo "== the windows: editors, About with System Info..., Read Me!!"
e2e_choose "Edit Launch List"
e2e_wait 10 "the launch list editor" visible_window "Edit Application List"
e2e_screenshot windows-configur
e2e_close "Edit Application List"

convert -size 32x32 xc:red -fill yellow -draw "circle 16,16 16,6" "$drive_c/quillmoor-test.ico"
e2e_choose "Edit SysTray Icon"
e2e_wait 10 "the tray icon editor" visible_window "Edit SysTray Icon"
# "Browse For Icon", at its place in the editor's table of controls.
e2e_click_at "$(visible_window "Edit SysTray Icon")" 104 32
e2e_wait 15 "the file dialog" e2e_not_active "$(visible_window "Edit SysTray Icon")"
sleep 1 # its file name box takes the keys once it is drawn
e2e_type 'C:\quillmoor-test.ico'
e2e_keys Return
e2e_wait 15 "the icon file in $settings" reg_is "$settings" Icon 'C:\quillmoor-test.ico'
sleep 1
e2e_screenshot windows-editicon
e2e_close "Edit SysTray Icon"

e2e_choose "About"
e2e_wait 10 "the About box" visible_window "About Quillmoor 1.0"
e2e_press "About Quillmoor 1.0" alt+s
# The prefix names no system information program.
e2e_wait 10 "the box that says System Information is unavailable" visible_window Quillmoor
e2e_screenshot windows-about-sysinfo
e2e_press Quillmoor Return
e2e_wait 10 "that box to close" no_window Quillmoor
e2e_press "About Quillmoor 1.0" Escape

e2e_choose "Read Me!!"
e2e_wait 20 "the read-me in Notepad" visible_window "readme.txt - Notepad"
e2e_screenshot windows-readme
e2e_close "readme.txt - Notepad"

echo "== Exit ends with status 0 and takes the icon out of the tray"
e2e_exit
e2e_wait 10 "the icon to leave the tray" e2e_no_icon

echo "== the installer, silently, for this user: AppData, the user's Start menu and Apps"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmoor'
ends() { # STATUS PROGRAM [ARGUMENTS]: a Windows program that must end with STATUS
    local want=$1 status=0
    shift
    timeout 120 wine "$@" || status=$?
    ((status == want)) || e2e_fail "$* ended with status $status"
}
install() { # [ARGUMENTS]: the installer with /S, which must succeed
    ends 0 "$installer" /S "$@"
}
install
installed=$(readlink -f "$(winepath -u "$(wine cmd /c echo '%LOCALAPPDATA%' | tr -d '\r')")")/Programs/Quillmoor
[[ $installed == "$drive_c"/users/* && -f $installed/platforms/qwindows.dll ]] ||
    e2e_fail "the installer put no program into $installed"
find "$drive_c/users" -path '*/Start Menu/Programs/Quillmoor.lnk' | grep -q . ||
    e2e_fail "no shortcut in the user's Start menu"
entry=$(wine reg query "$uninstall_key" 2>/dev/null | tr -d '\r')
[[ $entry =~ EstimatedSize\ +REG_DWORD\ +0x0*[1-9a-f] && $entry =~ NoRepair\ +REG_DWORD\ +0x1 ]] ||
    e2e_fail "the uninstall entry lacks EstimatedSize or the DWORD NoRepair: $entry"

started_again() { # FOLDER: the program, no more $E2E_PROGRAM_PID, runs from there in this prefix
    local pid
    for pid in $(pgrep -f 'quillmoor\.exe'); do
        # Up, with its icon: one still starting has no window for the installer to close.
        [[ $pid != "$E2E_PROGRAM_PID" && $(tr '\0' ' ' <"/proc/$pid/cmdline") == *"$1"* ]] &&
            tr '\0' '\n' <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
            e2e_one_icon && E2E_PROGRAM_PID=$pid && return 0
    done
    return 1
}
hold() { # FILE: held open with no sharing, as an editor may, until release
    wine "$standin_build/hold.exe" "$(winepath -w "$1")" 'C:\held.flag' >>"$E2E_DIR/hold.log" 2>&1 &
    hold_pid=$!
    E2E_PIDS+=($hold_pid)
    e2e_wait 30 "$1 to be held" test -e "$drive_c/held.flag"
}
release() {
    rm "$drive_c/held.flag"
    wait "$hold_pid" || e2e_fail "hold.exe failed"
}
changed() { # the deployed files that are not in the install as they are in the deploy folder
    (cd "$deploy" && find . -type f ! -exec cmp -s {} "$installed/{}" \; -print)
}
whole() { # the install as the installer left it, with its uninstaller, entry and shortcut
    [[ -z $(changed) && -f $installed/Uninstall.exe ]] &&
        wine reg query "$uninstall_key" >/dev/null 2>&1 &&
        find "$drive_c/users" -path '*/Start Menu/Programs/Quillmoor.lnk' | grep -q .
}

echo "== an update that finds a file held fails with the install as it was, and its program running"
program=$installed/quillmoor.exe
start_drawn
e2e_choose "Add To Startup"
e2e_wait 15 "run to name $program" in_run
hold "$installed/readme.txt"
ends 2 "$installer" /S
whole || e2e_fail "the failed update changed the install: $(changed)"
e2e_wait 60 "the program to run again" started_again "$(winepath -w "$installed")"
release

echo "== a silent update over the running program: all files new, run kept, the program runs again"
# Marked old: a file that the reinstall does not replace keeps this date.
find "$installed" -type f -exec touch -d 2001-01-01 {} +
install
e2e_wait 30 "the installer to close the program" program_ended
stale=$(find "$installed" -type f ! -newermt 2001-01-02)
[[ -z $stale ]] || e2e_fail "the reinstall left old files: $stale"
[[ -z $(changed) ]] || e2e_fail "installed files differ: $(changed)"
in_run || e2e_fail "the reinstall took the program out of run"
e2e_wait 60 "the update to start the program again" started_again "$(winepath -w "$installed")"

echo "== a start after kill -9, then a reinstall into another folder: run follows the program"
kill -9 "$E2E_PROGRAM_PID"
e2e_wait 20 "the icon of the killed program to leave the tray" e2e_no_icon
start_drawn
install '/D=C:\Elsewhere\Quillmoor'
e2e_wait 30 "the installer to close the program" program_ended
[[ ! -e $installed ]] || e2e_fail "the old folder $installed is left"
installed=$drive_c/Elsewhere/Quillmoor
program=$installed/quillmoor.exe
in_run || e2e_fail "run does not name the moved program"
e2e_wait 60 "the update to start the program in its new folder" started_again 'C:\Elsewhere'

echo "== the quiet uninstall, with the program running: a held file fails it with nothing removed"
# Run in place (_?=), so that it returns its outcome once it is done.
quiet=('C:\Elsewhere\Quillmoor\Uninstall.exe' /S '_?=C:\Elsewhere\Quillmoor')
[[ $(reg_value "$uninstall_key" QuietUninstallString) == "\"${quiet[0]}\" ${quiet[*]:1}" ]] ||
    e2e_fail "the quiet uninstall string is not ${quiet[*]}"
hold "$installed/Qt6Core.dll"
ends 2 "${quiet[@]}"
whole || e2e_fail "the failed uninstall changed the install: $(changed)"
e2e_wait 30 "the uninstaller to close the program" program_ended
release
echo "== the quiet uninstall takes the files, its entry and run before it returns, then the folder"
ends 0 "${quiet[@]}"
left=$(find "$installed" -type f ! -name Uninstall.exe 2>/dev/null)
[[ -z $left ]] || e2e_fail "the quiet uninstall returned before removing $left"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || e2e_fail "$uninstall_key is left"
e2e_wait 60 "the uninstaller's folder to go" test ! -e "$installed"
reg_is "$windows_section" run "" || e2e_fail "run still names the uninstalled program"
echo "PASS: the Windows program under Wine"
