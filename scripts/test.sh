#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal build with warnings as
# errors, and a build under AddressSanitizer and UndefinedBehaviorSanitizer. Between the two, the
# Debian package is built, installed and started; then every file reader is fuzzed briefly. Last, a
# clean Debian 12 root proves that scripts/install-deps.sh installs everything (about 8 minutes;
# SONDARYK_SKIP_CLEAN_ROOT=1 leaves it out of a quick local run, CI always runs it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSONDARYK_WERROR=ON >/dev/null
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"
tests/package/test-package.sh build-test

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSONDARYK_WERROR=ON -DSONDARYK_SANITIZE=ON \
    -DSONDARYK_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"

scripts/fuzz.sh

if [ "${SONDARYK_SKIP_CLEAN_ROOT:-0}" != 1 ]; then
    tests/cleanroot/test-cleanroot.sh
else
    echo "clean Debian 12 root: left out (SONDARYK_SKIP_CLEAN_ROOT=1)"
fi
