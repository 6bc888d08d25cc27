#!/bin/bash
# Cross-builds the Windows back end for 64 and 32 bits with mingw-w64 and runs its tests under
# Wine, in a Wine prefix of its own that is removed afterwards.
set -euo pipefail

source_dir=${QUILLMOOR_SOURCE:-$(cd "$(dirname "$0")/../.." && pwd)}
build_dir=${QUILLMOOR_BUILD:-$source_dir/build}

skip() {
    echo "SKIP: $*"
    exit 77
}

for tool in x86_64-w64-mingw32-g++-posix i686-w64-mingw32-g++-posix wine wineserver cmake; do
    command -v "$tool" >/dev/null ||
        skip "$tool is missing (apt-get install g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64)"
done
[ -f /usr/src/googletest/CMakeLists.txt ] || skip "googletest's sources are missing (apt-get install googletest)"

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

build() { # arch, extra cmake arguments...
    local arch=$1 dir=$build_dir/windows-$1
    shift
    cmake -S "$source_dir/tests/windows" -B "$dir" "${generator[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
    cmake --build "$dir" --parallel 2
}

echo "== 32-bit build (record layouts)"
build i686 -DQUILLMOOR_WINDOWS_TESTS=OFF
echo "== 64-bit build with tests"
build x86_64
bin=$build_dir/windows-x86_64
for built in quillmoor_windows_tests.exe stamp.exe rasapi32.dll; do
    [ -f "$bin/$built" ] || { echo "FAIL: $built was not built"; exit 1; }
done

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/quillmoor-wine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
# No desktop for Wine: nothing here opens a window, and no dialog may wait for a click.
unset DISPLAY WAYLAND_DISPLAY
# Without these, a new prefix offers to download Mono and Gecko.
base_overrides="mscoree,mshtml=;winemenubuilder.exe=d"

echo "== Wine prefix $WINEPREFIX"
WINEDLLOVERRIDES=$base_overrides timeout 300 wine wineboot --init >/dev/null 2>&1 || true
timeout 120 wineserver -w || true
system32=$WINEPREFIX/drive_c/windows/system32
[ -d "$system32" ] || { echo "FAIL: Wine did not set up $WINEPREFIX"; exit 1; }
# The program loads RasApi32.dll from the system folder only.
cp "$bin/rasapi32.dll" "$system32/rasapi32.dll"

failures=0
# Wine may report an error and still exit 0 without running anything: the verdict comes from
# googletest's own lines.
run_tests() { # label, filter, rasapi32 override
    local label=$1 filter=$2 overrides="$base_overrides;rasapi32=$3" listed output ran passed skipped
    listed=$(WINEDLLOVERRIDES=$overrides timeout 120 wine "$bin/quillmoor_windows_tests.exe" \
        --gtest_list_tests "--gtest_filter=$filter" 2>&1 | tr -d '\r' | grep -c '^  ' || true)
    output=$(WINEDLLOVERRIDES=$overrides timeout 600 wine "$bin/quillmoor_windows_tests.exe" \
        "--gtest_filter=$filter" 2>&1 | tr -d '\r' || true)
    echo "$output"
    ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from .* ran\..*/\1/p' <<<"$output")
    passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' <<<"$output")
    skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\},.*/\1/p' <<<"$output")
    if [ "$listed" -gt 0 ] && [ "${ran:-x}" = "$listed" ] &&
        [ $((${passed:-0} + ${skipped:-0})) -eq "$listed" ] && [ "${passed:-0}" -gt 0 ] &&
        ! grep -q '^\[  FAILED  \]' <<<"$output"; then
        echo "ok - $label: ${passed} passed, ${skipped:-0} skipped of $listed"
    else
        echo "not ok - $label: listed ${listed}, ran ${ran:-none}, passed ${passed:-none}"
        failures=$((failures + 1))
    fi
}

run_tests "stand-in remote access service and the rest" "-RasBuiltin.*:RasMissing.*" "n,b"
run_tests "Wine's own remote access service" "RasBuiltin.*" "b"
run_tests "no remote access service" "RasMissing.*" "d"

[ "$failures" -eq 0 ] || { echo "FAIL: $failures of 3 runs"; exit 1; }
echo "PASS"
