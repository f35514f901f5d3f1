#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets of fuzz/ with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for FUZZ_SECONDS seconds (30) from
# its seed corpus. Fails when a target crashes, leaks, takes over 10 s on one
# input, uses more than 2 GB or breaks one of its checks; the input that did it is kept in
# BUILD_DIR/fuzz-artifacts. Prints the executions of each target.
#
# Usage: tools/fuzz.sh [BUILD_DIR]      (default build-fuzz)
#   FUZZ_SECONDS=N    seconds per target
#   FUZZ_TARGETS="a b" only these targets
# New inputs the fuzzers find go to a temporary folder, never into the
# repository's corpus.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build-fuzz"}
seconds=${FUZZ_SECONDS:-30}

"$here/tools/install-deps.sh"
cmake -S "$here" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUILLANE_FUZZ=ON \
    -DQUILLANE_BUILD_TESTS=ON -DQUILLANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target quillane_fuzzers

artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Leaks of the system libraries listed there only; every other leak fails.
export LSAN_OPTIONS="suppressions=$here/tools/lsan.supp:print_suppressions=0"

failed=""
tab=$(printf '\t')
while IFS="$tab" read -r name corpus; do
    [ -n "$name" ] || continue
    if [ -n "${FUZZ_TARGETS:-}" ]; then
        case " $FUZZ_TARGETS " in *" $name "*) ;; *) continue ;; esac
    fi
    mkdir -p "$work/$name"
    log="$work/$name.log"
    status=0
    "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$name-" "$work/$name" "$corpus" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ "$status" -eq 0 ]; then
        echo "$name: ${runs:-?} executions in ${seconds} s"
    else
        echo "$name: FAILED (exit $status) after ${runs:-?} executions; log:"
        tail -n 60 "$log"
        failed="$failed $name"
    fi
done <"$build/fuzz/fuzzers.txt"

if [ -n "$failed" ]; then
    echo "Fuzz targets that failed:$failed (inputs in $artifacts)"
    exit 1
fi
