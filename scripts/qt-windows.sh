#!/usr/bin/env bash
# Qt 6.4.2 for 64-bit Windows (MinGW), for the cross-build of quillmoor.exe. Debian ships none.
#   scripts/qt-windows.sh [--no-build] [CACHE_DIR]     (CACHE_DIR defaults to build-asan/qt-windows)
# Unpacks ../shared/qt-windows/qt6.4.2-mingw64.tar.xz (beside the repository) into CACHE_DIR,
# or else cross-builds the same Qt from Debian 12's own source package (about 20 minutes on two
# cores). Prints the installed Qt's folder, CACHE_DIR/qt6-mingw64. A second run finds it done.
# With --no-build it never builds that Qt: exit status 3 says that no ready copy is at hand.
# Its moc, rcc and uic must be the same Qt version: a newer moc writes code that needs headers
# Qt 6.4 lacks. When the host's own tools (qt6-base-dev-tools) are another version, as on
# Debian 13, it builds Qt 6.4.2's tools from the same source into CACHE_DIR/qt6-host (about
# 10 minutes on two cores, once, even with --no-build) and names them in
# qt.toolchain.extra.cmake beside Qt's toolchain file, which that file reads: callers
# configure the same way on every release.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

build_allowed=1
if [[ ${1:-} == --no-build ]]; then
    build_allowed=0
    shift
fi
cache=${1:-$repo/build-asan/qt-windows}
archive=${QUILLMOOR_QT_WINDOWS_ARCHIVE:-$repo/../shared/qt-windows/qt6.4.2-mingw64.tar.xz}
qt_version=6.4.2
source_version=6.4.2+dfsg-10
multiarch_cmake=/usr/lib/x86_64-linux-gnu/cmake

mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
prefix=$cache/qt6-mingw64
stamp=$cache/qt6-mingw64.stamp
tools=$cache/qt6-host
tools_stamp=$cache/qt6-host.stamp
# Two builds asking at once must not unpack into each other.
exec 9>"$cache/.lock"
flock 9

need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null ||
            { echo "$tool is missing (see scripts/packages-build.txt and packages-test.txt)" >&2
                exit 1; }
    done
}

# Unpacks Debian 12's qtbase source (the release that ships Qt 6.4.2) into $src, through a
# private source list so that the system's own package lists stay untouched.
fetch_source() {
    local archive_uri
    archive_uri=$(sed -n 's|^URIs: *\(\S*/debian\)/\?$|\1|p' /etc/apt/sources.list.d/*.sources \
        2>/dev/null | head -n 1)
    archive_uri=${archive_uri:-http://deb.debian.org/debian}
    rm -rf "$src"
    mkdir -p "$src/lists/partial" "$src/etc"
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: %s\n' \
        "$archive_uri" /usr/share/keyrings/debian-archive-keyring.gpg >"$src/etc/src.sources"
    local apt_private=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$src/etc"
        -o "Dir::State::Lists=$src/lists")
    apt-get "${apt_private[@]}" update >&2
    (cd "$src" && apt-get "${apt_private[@]}" source --download-only "qt6-base=$source_version" >&2)
    tar -xJf "$src/qt6-base_$qt_version+dfsg.orig.tar.xz" -C "$src"
    qtbase=$src/qtbase-everywhere-src-$qt_version
}

# Sets host_path and host_cmake_dir to a Qt whose moc, rcc and uic are $qt_version.
find_host_tools() {
    local version
    version=$(/usr/lib/qt6/libexec/moc -v 2>/dev/null) || true
    if [[ $version == "moc $qt_version" ]]; then
        host_path=/usr host_cmake_dir=$multiarch_cmake
        return
    fi
    host_path=$tools host_cmake_dir=$tools/lib/cmake
    if [[ -f $tools_stamp && $(<"$tools_stamp") == "source qt6-base $source_version" &&
        -x $tools/libexec/moc ]]; then
        return
    fi
    echo "The host's Qt tools are not $qt_version; building Qt $qt_version's own in $tools" >&2
    need g++ cmake ninja apt-get
    src=$cache/host-source
    rm -rf "$tools" "$tools_stamp"
    fetch_source
    # Only QtCore and the tools: QtGui and QtWidgets are not needed to run uic.
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
        -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    cmake -S "$qtbase" -B "$src/build" -G Ninja "${launcher[@]}" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$tools" \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DFEATURE_gui=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_testlib=OFF \
        -DFEATURE_xml=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF -DFEATURE_icu=OFF \
        -DFEATURE_glib=OFF -DFEATURE_zstd=OFF -DFEATURE_system_pcre2=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_doubleconversion=OFF \
        -DFEATURE_system_libb2=OFF >&2
    ninja -C "$src/build" install >&2
    [[ $("$tools/libexec/moc" -v) == "moc $qt_version" ]] ||
        { echo "the build installed no moc $qt_version into $tools" >&2; exit 1; }
    rm -rf "$src"
    echo "source qt6-base $source_version" >"$tools_stamp"
}

# Qt's toolchain file reads this file beside it: the tools found above, for every project
# that uses this Qt. With the host's own tools, the paths recorded in the Qt itself serve.
name_host_tools() {
    local extra=$prefix/lib/cmake/Qt6/qt.toolchain.extra.cmake
    if [[ $host_path == /usr ]]; then
        rm -f "$extra"
        return
    fi
    # The tool packages as well: a build folder configured earlier with the host's own keeps them.
    {
        echo "# Written by scripts/qt-windows.sh: moc, rcc and uic of Qt $qt_version for this host."
        echo "set(QT_HOST_PATH \"$host_path\" CACHE PATH \"\" FORCE)"
        echo "set(QT_HOST_PATH_CMAKE_DIR \"$host_cmake_dir\" CACHE PATH \"\" FORCE)"
        for package in HostInfo CoreTools GuiTools WidgetsTools; do
            echo "set(Qt6${package}_DIR \"$host_cmake_dir/Qt6$package\" CACHE PATH \"\" FORCE)"
        done
    } >"$extra"
}

# What the copy in the cache came from; a changed archive is unpacked again.
wanted=""
[[ -f $archive ]] && wanted="archive $(stat -c '%s %Y' "$archive")"
if [[ -f $stamp && -f $prefix/lib/cmake/Qt6/qt.toolchain.cmake ]] &&
    { [[ -z $wanted ]] || [[ $(<"$stamp") == "$wanted" ]]; }; then
    find_host_tools
    name_host_tools
    echo "$prefix"
    exit 0
fi

if [[ -n $wanted ]]; then
    rm -rf "$prefix" "$stamp" "$cache"/unpack.*
    work=$(mktemp -d "$cache/unpack.XXXXXX")
    tar -xJf "$archive" -C "$work"
    [[ -f $work/qt6-mingw64/lib/cmake/Qt6/qt.toolchain.cmake ]] ||
        { echo "$archive holds no qt6-mingw64/ with Qt's CMake files" >&2; exit 1; }
    mv "$work/qt6-mingw64" "$prefix"
    rmdir "$work"
    echo "$wanted" >"$stamp"
    find_host_tools
    name_host_tools
    echo "$prefix"
    exit 0
fi

if ((!build_allowed)); then
    echo "No Qt for MinGW: neither $archive nor a copy in $cache" >&2
    exit 3
fi

# The recipe of ../shared/qt-windows/BUILD.md, with the tools found above.
echo "Building Qt for MinGW from Debian's source in $cache (about 20 minutes)" >&2
need x86_64-w64-mingw32-g++-posix cmake ninja apt-get
find_host_tools
src=$cache/source
rm -rf "$prefix" "$stamp"
fetch_source
# With OpenGL off, 6.4.2's Windows plugin still asks the dynamic GL loader.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
    "$qtbase/src/plugins/platforms/windows/qwindowswindow.cpp"
grep -q '^#if QT_CONFIG(dynamicgl) && QT_CONFIG(opengl)$' \
    "$qtbase/src/plugins/platforms/windows/qwindowswindow.cpp" ||
    { echo "the OpenGL patch did not apply" >&2; exit 1; }
cmake -S "$qtbase" -B "$src/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH="$host_path" -DQt6HostInfo_DIR="$host_cmake_dir/Qt6HostInfo" \
    -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_libpng=OFF -DFEATURE_system_jpeg=OFF >&2
ninja -C "$src/build" >&2
ninja -C "$src/build" install >&2
[[ -f $prefix/lib/cmake/Qt6/qt.toolchain.cmake ]] ||
    { echo "the build installed no Qt into $prefix" >&2; exit 1; }
rm -rf "$src"
echo "source qt6-base $source_version" >"$stamp"
name_host_tools
echo "$prefix"
