#!/usr/bin/env bash
# The Debian package, built by cpack from the build tree, checked by lintian and appstreamcli and
# installed by dpkg into a scratch root: the program and readme.txt share /usr/lib/quillmoor,
# /usr/bin holds a link to it, the launcher, icons and metainfo are where desktops and software
# centres look, and the installed program runs from its link and finds readme.txt beside its
# real file.
set -euo pipefail

skip() {
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in cpack dpkg dpkg-deb dpkg-shlibdeps lintian appstreamcli; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[[ -f "$QUILLMOOR_BUILD/CPackConfig.cmake" ]] || fail "no CPackConfig.cmake in $QUILLMOOR_BUILD"

work=$(mktemp -d "${TMPDIR:-/tmp}/quillmoor-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack -G DEB --config "$QUILLMOOR_BUILD/CPackConfig.cmake" -B "$work/out") \
    >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
debs=("$work"/out/quillmoor_*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || fail "expected one quillmoor_*.deb"
deb=${debs[0]}

# The control data.
control=$(dpkg-deb -f "$deb")
grep -qx 'Package: quillmoor' <<<"$control" || fail "package name: $control"
grep -qx 'Version: 1.0' <<<"$control" || fail "version: $control"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins xdg-utils; do
    grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

# Debian's own checks: no error and no warning.
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian finds fault with the package"; }

# The files, installed by dpkg into a root and a package database of their own.
root="$work/root"
admin="$work/dpkg"
mkdir -p "$root" "$admin/info" "$admin/updates"
touch "$admin/status"
dpkg --root="$root" --admindir="$admin" --force-not-root --force-depends --log=/dev/null \
    -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
dpkg --admindir="$admin" -s quillmoor | grep -qx 'Status: install ok installed' ||
    fail "dpkg does not count quillmoor as installed"
program="$root/usr/lib/quillmoor/quillmoor"
[[ -f "$program" && -x "$program" ]] || fail "no executable usr/lib/quillmoor/quillmoor"
cmp -s "$root/usr/lib/quillmoor/readme.txt" "$QUILLMOOR_SOURCE/readme.txt" \
    || fail "usr/lib/quillmoor/readme.txt is not the project's readme.txt"
[[ -L "$root/usr/bin/quillmoor" ]] || fail "usr/bin/quillmoor is no link"
[[ $(readlink "$root/usr/bin/quillmoor") == ../lib/quillmoor/quillmoor ]] \
    || fail "usr/bin/quillmoor points at $(readlink "$root/usr/bin/quillmoor")"
[[ "$(readlink -f "$root/usr/bin/quillmoor")" == "$(readlink -f "$program")" ]] \
    || fail "usr/bin/quillmoor does not resolve to the program"
doc="$root/usr/share/doc/quillmoor"
grep -q '^License: Expat' "$doc/copyright" && grep -q 'Permission is hereby granted' "$doc/copyright" ||
    fail "the copyright file lacks the MIT licence"
zcat "$root/usr/share/man/man1/quillmoor.1.gz" | grep -q 'takes no arguments' ||
    fail "the manual page does not say that quillmoor takes no arguments"
metainfo="$root/usr/share/metainfo/example.corvath.Quillmoor.metainfo.xml"
grep -q '<launchable type="desktop-id">quillmoor.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not name quillmoor.desktop"
appstreamcli validate --no-net --explain "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli does not pass the metainfo"; }

launcher="$root/usr/share/applications/quillmoor.desktop"
[[ -f "$launcher" ]] || fail "no usr/share/applications/quillmoor.desktop"
grep -qx 'Exec=quillmoor' "$launcher" || fail "the launcher does not start quillmoor"
grep -qx 'Icon=quillmoor' "$launcher" || fail "the launcher names another icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$launcher" || fail "the launcher does not validate"
fi
icons=()
for size in 16 24 32 48 64 128 256; do
    icon="usr/share/icons/hicolor/${size}x$size/apps/quillmoor.png"
    icons+=(-e "./$icon")
    [[ $(head -c 8 "$root/$icon" 2>/dev/null | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] \
        || fail "no PNG icon $icon"
    if command -v identify >/dev/null; then
        [[ $(identify -format '%wx%h' "$root/$icon") == "${size}x$size" ]] ||
            fail "$icon is not $size px"
    fi
done
unexpected=$(cd "$root" && find . -type f -o -type l | sort | grep -v -x -F \
    -e ./usr/bin/quillmoor -e ./usr/lib/quillmoor/quillmoor \
    -e ./usr/lib/quillmoor/readme.txt -e ./usr/share/applications/quillmoor.desktop \
    -e ./usr/share/doc/quillmoor/copyright -e ./usr/share/doc/quillmoor/changelog.gz \
    -e ./usr/share/man/man1/quillmoor.1.gz -e ./${metainfo#"$root/"} "${icons[@]}" || true)
[[ -z "$unexpected" ]] || fail "unexpected files in the package: $unexpected"

# The installed program runs from its link: on a real X server with a tray it puts its icon
# there, and "Read Me!!" hands the desktop the readme.txt beside its real file.
if ! command -v Xvfb >/dev/null || ! command -v trayer >/dev/null; then
    echo "PASS: package contents (running it needs Xvfb and trayer: not checked)"
    exit 0
fi
trap - EXIT
export QUILLMOOR_BIN="$root/usr/bin/quillmoor"
source "$QUILLMOOR_SOURCE/tests/e2e/lib.sh"
e2e_begin
trap 'e2e_cleanup; rm -rf "$work"' EXIT
e2e_viewer
e2e_start_tray
e2e_start_program
e2e_wait 30 "the packaged program's icon in the tray" e2e_icon_window
e2e_choose "Read Me!!"
e2e_wait 10 "the read-me to be opened" test -s "$E2E_DIR/opened"
opened=$(head -n 1 "$E2E_DIR/opened")
[[ "$opened" == "$root/usr/lib/quillmoor/readme.txt" ]] || fail "Read Me!! opened $opened"
kill "$E2E_PROGRAM_PID"
echo "PASS: package"
