#!/usr/bin/env bash
# Runs ./test.sh again inside a Debian 13 ("trixie") system made from Debian's archive, so that
# a Debian 12 machine proves the newer release too (Qt 6.8, GCC 14). Needs root.
#   scripts/debian13.sh [ctest arguments]     e.g. scripts/debian13.sh -E '^windows_'
#   scripts/debian13.sh --run 'COMMAND'       runs COMMAND there instead, in the checkout
# The system is kept in $QUILLMOOR_DEBIAN13_ROOT (default ~/.cache/quillmoor/debian13) and
# kept for the next run; the checkout is mounted into it and builds in build-debian13.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
root=${QUILLMOOR_DEBIAN13_ROOT:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/quillmoor/debian13}

if [[ $(id -u) -ne 0 ]]; then
    echo "scripts/debian13.sh needs root (debootstrap, chroot and a mount namespace)" >&2
    exit 1
fi
if [[ -z ${QUILLMOOR_IN_NAMESPACE:-} ]]; then
    # The archive apt uses here, not a host of our choosing.
    archive=$(sed -n 's|^URIs: *\(\S*/debian\)/\?$|\1|p' /etc/apt/sources.list.d/*.sources \
        2>/dev/null | head -n 1)
    [[ -n $archive ]] || archive=$(sed -n 's|^deb \+\(\S*/debian\)/\? \+bookworm .*|\1|p' \
        /etc/apt/sources.list 2>/dev/null | head -n 1)
    archive=${archive:-http://deb.debian.org/debian}
    if [[ ! -x $root/usr/bin/apt-get ]]; then
        command -v debootstrap >/dev/null || { apt-get update -qq &&
            DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap; }
        rm -rf "$root.new"
        mkdir -p "$(dirname "$root")"
        debootstrap --variant=minbase trixie "$root.new" "$archive"
        mv "$root.new" "$root"
    fi
    cat >"$root/etc/apt/sources.list.d/debian.sources" <<EOF
Types: deb
URIs: $archive
Suites: trixie trixie-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: ${archive%/debian}/debian-security
Suites: trixie-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    rm -f "$root/etc/apt/sources.list"
    # Packages installed there start no services of their own.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod +x "$root/usr/sbin/policy-rc.d"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    QUILLMOOR_IN_NAMESPACE=1 exec unshare -m --propagation private "$0" "$@"
fi

# In a mount namespace of our own: nothing mounted here outlives the run.
# The root must be a mount point, or unshare -m inside the system (tests that need a mount
# namespace) cannot change its propagation.
mount --bind "$root" "$root"
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --rbind /dev "$root/dev"
mount -t tmpfs tmpfs "$root/run"
mount -t tmpfs tmpfs "$root/tmp"
mkdir -p "$root/src/quillmoor" "$root/src/shared"
mount --bind "$repo" "$root/src/quillmoor"
# The shared folder beside the checkout, where the Windows Qt archive lives.
[[ -d $repo/../shared ]] && mount --bind "$repo/../shared" "$root/src/shared"

command=('./test.sh "$@"')
if [[ ${1:-} == --run ]]; then
    command=("$2")
    shift 2
fi
start=$SECONDS
status=0
chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" CI="${CI:-}" QUILLMOOR_BUILD_DIR=build-debian13 \
    /bin/bash -c "cd /src/quillmoor && ${command[0]}" test.sh "$@" || status=$?
echo "Debian 13: ended with status $status after $((SECONDS - start)) s"
exit "$status"
