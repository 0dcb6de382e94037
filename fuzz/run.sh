#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Builds the libFuzzer targets with clang (ASan + UBSan, in build-fuzz/; packages: scripts/
# install-deps.sh --fuzz) and runs each for a number of executions, one target after the other,
# with a 512 MB memory limit and 1 s per input.
#   fuzz/run.sh [RUNS [TARGET...]]      default: 1000000 runs of every target
# The corpus grows in fuzz/out/corpus/<target> (seeded from the tests' own picture encoders);
# findings land in fuzz/out/findings/<target>/. Copy each finding, once mended, into
# fuzz/regressions/<target>/: the regular tests replay those with every seed.
# ZARVO_FUZZ_SECONDS, when set, also ends each target after that many seconds.
# Prints "target runs executions seconds" lines at the end (fuzz/out/summary.tsv).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ZARVO_FUZZ_BUILD:-$repo/build-fuzz}
out=$repo/fuzz/out
runs=${1:-1000000}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(jpeg png gif bmp ico treestream names)

if [[ ! -f $build/CMakeCache.txt ]]; then
    CC=clang CXX=clang++ cmake -S "$repo" -B "$build" -G Ninja -DZARVO_FUZZ=ON -DBUILD_TESTING=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER}
fi
cmake --build "$build" -j2 --target zarvo_fuzz_seeds "${targets[@]/#/zarvo_fuzz_}"

mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$build/fuzz/zarvo_fuzz_seeds" "$out/seeds" > /dev/null
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
: > "$out/summary.tsv"
status=0
for target in "${targets[@]}"; do
    mkdir -p "$out/corpus/$target" "$out/findings/$target" "$repo/fuzz/regressions/$target"
    log=$out/$target.log
    start=$(date +%s)
    # Findings do not stop the run: -fork would, with one job, go on after each one.
    if ! "$build/fuzz/zarvo_fuzz_$target" -runs="$runs" -max_total_time="${ZARVO_FUZZ_SECONDS:-0}" -rss_limit_mb=512 -timeout=1 -max_len=16384 \
        -print_final_stats=1 -artifact_prefix="$out/findings/$target/" \
        "$out/corpus/$target" "$out/seeds/$target" "$repo/fuzz/regressions/$target" > "$log" 2>&1; then
        status=1
        echo "$target: FINDING, see $log and $out/findings/$target/" >&2
    fi
    executions=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log" | tail -1)
    printf '%s\t%s\t%s\t%s\n' "$target" "$runs" "${executions:-?}" "$(($(date +%s) - start))" | tee -a "$out/summary.tsv"
done
exit $status
