#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal build with warnings as
# errors, and a build under AddressSanitizer and UndefinedBehaviorSanitizer. After the first, the
# Debian package is built, installed and started; after the second, every file reader is fuzzed
# briefly. Last, clean Debian 12 and Debian 13 roots prove that scripts/install-deps.sh installs
# everything; the root of this machine's own release takes the place of the first build here
# (SONDARYK_SKIP_CLEAN_ROOT=1 leaves the roots out of a quick local run and builds here instead, CI
# always runs them, SONDARYK_CLEAN_ROOTS=trixie runs one only). The seconds of every stage are
# printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

timings=()
stage() {
    local name=$1 started
    shift
    echo "== $name"
    started=$(date +%s)
    "$@"
    timings+=("$(printf '%6d s  %s' $(($(date +%s) - started)) "$name")")
}
report() {
    local line
    echo "== seconds per stage"
    for line in "${timings[@]}"; do
        echo "$line"
    done
}
trap report EXIT

stage "install (scripts/install-deps.sh --test)" scripts/install-deps.sh --test
export QT_QPA_PLATFORM=offscreen

configure() { cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSONDARYK_WERROR=ON "${@:2}" >/dev/null; }
# The clean root of this machine's own release builds with -Werror, runs the whole suite and tests
# the package exactly as the stages below would, on a cleaner machine: here they would only repeat it.
this_release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
in_clean_root=0
if [ "${SONDARYK_SKIP_CLEAN_ROOT:-0}" != 1 ] && [ -n "$this_release" ] &&
    [[ " ${SONDARYK_CLEAN_ROOTS:-bookworm trixie} " == *" $this_release "* ]]; then
    in_clean_root=1
fi
if [ "$in_clean_root" = 1 ]; then
    echo "build with -Werror, ctest, Debian package: in the clean $this_release root below"
else
    stage "build with -Werror" eval 'configure build-test && cmake --build build-test -j "$jobs"'
    stage "ctest" ctest --test-dir build-test --output-on-failure -j "$jobs"
    stage "Debian package" tests/package/test-package.sh build-test
fi

stage "build under ASan + UBSan" eval 'configure build-asan -DSONDARYK_SANITIZE=ON -DSONDARYK_BUILD_BENCH=OFF &&
    cmake --build build-asan -j "$jobs"'
# LeakSanitizer's own tracer now and then crashes at a test's exit on a loaded machine ("Tracer caught
# signal 11"); a second run tells that from a fault, which fails every time.
stage "ctest under ASan + UBSan" ctest --test-dir build-asan --output-on-failure -j "$jobs" --repeat until-pass:2

stage "fuzz" scripts/fuzz.sh

if [ "${SONDARYK_SKIP_CLEAN_ROOT:-0}" != 1 ]; then
    stage "clean roots" tests/cleanroot/test-cleanroot.sh
else
    echo "clean Debian 12 and 13 roots: left out (SONDARYK_SKIP_CLEAN_ROOT=1)"
fi
