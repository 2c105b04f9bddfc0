#!/usr/bin/env bash
# Installs what is missing for building and running (not the test tools), builds Sondaryk and
# starts it (under Xvfb when there is no display).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONDARYK_BUILD_TESTS=OFF -DSONDARYK_BUILD_BENCH=OFF >/dev/null
cmake --build build --target sondaryk
cd build/bin
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a ./sondaryk
fi
exec ./sondaryk
