#!/usr/bin/env bash
# Qt 6.4.2 for 64-bit Windows (MinGW), for the cross-build of quillmoor.exe. Debian ships none.
#   scripts/qt-windows.sh [--no-build] [CACHE_DIR]     (CACHE_DIR defaults to build-asan/qt-windows)
# Unpacks ../shared/qt-windows/qt6.4.2-mingw64.tar.xz (beside the repository) into CACHE_DIR,
# or else cross-builds the same Qt from Debian's own source package (about 20 minutes on two
# cores). Prints the installed Qt's folder, CACHE_DIR/qt6-mingw64. A second run finds it done.
# With --no-build it never builds: exit status 3 says that no ready copy is at hand.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

build_allowed=1
if [[ ${1:-} == --no-build ]]; then
    build_allowed=0
    shift
fi
cache=${1:-$repo/build-asan/qt-windows}
archive=${QUILLMOOR_QT_WINDOWS_ARCHIVE:-$repo/../shared/qt-windows/qt6.4.2-mingw64.tar.xz}
source_version=6.4.2+dfsg-10
prefix=$cache/qt6-mingw64
stamp=$cache/qt6-mingw64.stamp

mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
prefix=$cache/qt6-mingw64
stamp=$cache/qt6-mingw64.stamp
# Two builds asking at once must not unpack into each other.
exec 9>"$cache/.lock"
flock 9

# What the copy in the cache came from; a changed archive is unpacked again.
wanted=""
[[ -f $archive ]] && wanted="archive $(stat -c '%s %Y' "$archive")"
if [[ -f $stamp && -f $prefix/lib/cmake/Qt6/qt.toolchain.cmake ]] &&
    { [[ -z $wanted ]] || [[ $(<"$stamp") == "$wanted" ]]; }; then
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
    echo "$prefix"
    exit 0
fi

if ((!build_allowed)); then
    echo "No Qt for MinGW: neither $archive nor a copy in $cache" >&2
    exit 3
fi

# The recipe of ../shared/qt-windows/BUILD.md: Debian's own source of the Qt that
# qt6-base-dev-tools (moc, rcc, uic) belongs to, so that host tools and libraries agree.
echo "Building Qt for MinGW from Debian's source in $cache (about 20 minutes)" >&2
for tool in x86_64-w64-mingw32-g++-posix cmake ninja apt-get; do
    command -v "$tool" >/dev/null ||
        { echo "$tool is missing (apt-get install g++-mingw-w64-x86-64-posix cmake ninja-build)" >&2; exit 1; }
done
[[ -x /usr/lib/qt6/libexec/moc ]] ||
    { echo "the host's Qt tools are missing (apt-get install qt6-base-dev-tools)" >&2; exit 1; }
src=$cache/source
rm -rf "$src" "$prefix" "$stamp"
mkdir -p "$src/lists/partial" "$src/etc"
# A private source list, so that the system's own package lists stay untouched.
sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$src/etc/src.sources"
apt_private=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$src/etc"
    -o "Dir::State::Lists=$src/lists")
apt-get "${apt_private[@]}" update >&2
(cd "$src" && apt-get "${apt_private[@]}" source --download-only "qt6-base=$source_version" >&2)
tar -xJf "$src"/qt6-base_6.4.2+dfsg.orig.tar.xz -C "$src"
qtbase=$src/qtbase-everywhere-src-6.4.2
# With OpenGL off, 6.4.2's Windows plugin still asks the dynamic GL loader.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
    "$qtbase/src/plugins/platforms/windows/qwindowswindow.cpp"
grep -q '^#if QT_CONFIG(dynamicgl) && QT_CONFIG(opengl)$' \
    "$qtbase/src/plugins/platforms/windows/qwindowswindow.cpp" ||
    { echo "the OpenGL patch did not apply" >&2; exit 1; }
cmake -S "$qtbase" -B "$src/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH=/usr -DQt6HostInfo_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
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
echo "$prefix"
