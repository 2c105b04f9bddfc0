#!/usr/bin/env bash
# Builds the libFuzzer targets under AddressSanitizer and UndefinedBehaviorSanitizer (clang) in
# build-fuzz and runs each one for a bounded time from its seed corpus in tests/fuzz/corpus.
#
#   scripts/fuzz.sh            about 10 seconds per target (the short run of the test command)
#   scripts/fuzz.sh 600        10 minutes per target; FUZZ_SECONDS=600 does the same
#   FUZZ_TARGETS="fuzz_numbers" scripts/fuzz.sh 60   only the named targets
#
# The seeds are copied into build-fuzz/corpus/<target> first, so the inputs a run finds stay there
# and the repository is never changed. Exits non-zero on any crash, leak, sanitizer report or
# timeout; the offending input is left as build-fuzz/artifacts/<target>/crash-* (or leak-*,
# timeout-*, oom-*), and can be replayed with build-fuzz/fuzz/<target> <file>.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-${FUZZ_SECONDS:-10}}
# The short run of the test command starts from a fixed seed, so that it repeats the same inputs
# (as far as its seconds reach) on every machine; a longer run explores afresh. FUZZ_SEED chooses.
if [[ -z ${1:-} && -z ${FUZZ_SECONDS:-} ]]; then
    fuzz_seed=${FUZZ_SEED:-1}
else
    fuzz_seed=${FUZZ_SEED:-0}
fi
# An input slower than this is a fault. The long runs hold every input to one second; the short
# run of the test command allows more, as it shares a loaded machine with the builds.
if [[ -z ${1:-} && -z ${FUZZ_SECONDS:-} ]]; then
    input_timeout=${FUZZ_TIMEOUT:-10}
else
    input_timeout=${FUZZ_TIMEOUT:-1}
fi
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [seconds per target]" >&2
    exit 2
fi
targets=${FUZZ_TARGETS:-"fuzz_inifile fuzz_gridfile fuzz_numbers fuzz_chartvalues fuzz_analysis fuzz_csvimport fuzz_comparison fuzz_testdefinition fuzz_definitionpaste fuzz_choices"}
build=build-fuzz

# Debug keeps Qt's own assertions (bounds of QList and QString) live; -O1 keeps the runs fast.
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
    -DSONDARYK_FUZZ=ON -DSONDARYK_BUILD_TESTS=OFF -DSONDARYK_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target $targets

export QT_QPA_PLATFORM=offscreen
# ASan keeps freed memory aside to catch its use after the free. Its default 256 MB sends the
# targets, which free thousands of blocks per input, to fresh pages all the time (a third of their
# time, measured); 64 MB still holds everything many inputs free, so a use after free in one input
# is caught as before.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1:quarantine_size_mb=64
export LSAN_OPTIONS=suppressions=$PWD/tests/fuzz/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
for target in $targets; do
    corpus=$build/corpus/$target
    artifacts=$build/artifacts/$target
    mkdir -p "$corpus" "$artifacts"
    for seed in tests/fuzz/corpus/"$target"/*; do
        [[ -e $corpus/${seed##*/} ]] || cp "$seed" "$corpus"/
    done
    dict=()
    [[ -f tests/fuzz/$target.dict ]] && dict=(-dict="tests/fuzz/$target.dict")
    echo "== $target: $seconds s"
    log=$build/$target.log
    if "$build/fuzz/$target" "$corpus" "${dict[@]}" -max_total_time="$seconds" -seed="$fuzz_seed" -timeout="$input_timeout" \
        -rss_limit_mb=2048 -max_len=65536 -detect_leaks=1 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" >"$log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec|^#[0-9]+ *DONE' "$log" || true
    else
        tail -n 60 "$log"
        echo "!! $target failed; see $log and $artifacts" >&2
        failed+=("$target")
    fi
done

if ((${#failed[@]})); then
    echo "fuzzing found problems in: ${failed[*]}" >&2
    exit 1
fi
echo "fuzzing: no crash, leak, sanitizer report or timeout"
