#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts Quillmoor in the tray.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Quillmoor needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
    exit 1
fi

ensure_packages scripts/packages-build.txt
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release
exec build-release/src/quillmoor
