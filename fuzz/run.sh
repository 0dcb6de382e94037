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
# ZARVO_FUZZ_NO_BUILD=1 runs the targets as last built (while another build is running).
# Prints "target runs executions seconds" lines at the end (fuzz/out/summary.tsv); each
# libFuzzer round of a target logs to fuzz/out/TARGET.N.log.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ZARVO_FUZZ_BUILD:-$repo/build-fuzz}
out=$repo/fuzz/out
runs=${1:-1000000}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(jpeg png gif bmp ico webp heif avif tiff jxl gifanim webpanim emf wmf treestream names)

if [[ ! -f $build/CMakeCache.txt ]]; then
    CC=clang CXX=clang++ cmake -S "$repo" -B "$build" -G Ninja -DZARVO_FUZZ=ON -DBUILD_TESTING=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER}
fi
[[ -n ${ZARVO_FUZZ_NO_BUILD:-} ]] || cmake --build "$build" -j2 --target zarvo_fuzz_seeds "${targets[@]/#/zarvo_fuzz_}"

mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$build/fuzz/zarvo_fuzz_seeds" "$out/seeds" > /dev/null
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$repo/fuzz/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
: > "$out/summary.tsv"
status=0
# Input size limit per target: a tree stream of 16 KiB is 16,000 nodes, some 0.2 s under ASan
# each time, for nothing a smaller one does not reach.
max_len() { case $1 in treestream) echo 4096 ;; *) echo 16384 ;; esac; }
# The metafile libraries run in a helper whose address space is limited
# (imaging/metafiledecoder.h): a huge allocation fails there instead of being a finding here.
# They leak on every file (the helper ends after each), so libFuzzer would search the whole heap
# for leaks after every input, three quarters of the time: their runs check no leaks, and
# leak_pass then runs every input of their corpus once with the leak check.
metafile() { [[ $1 == emf || $1 == wmf ]]; }
asan_options() {
    if metafile "$1"; then
        echo "${ASAN_OPTIONS/detect_leaks=1/detect_leaks=0}:max_allocation_size_mb=256"
    else
        echo "$ASAN_OPTIONS"
    fi
}
fuzzer_options() { if metafile "$1"; then echo -detect_leaks=0; fi; }
# Whole stacks (slower): the suppressions in lsan.supp match frames of uninstrumented libraries,
# which the fast unwinder does not reach.
leak_pass() {
    ASAN_OPTIONS=$ASAN_OPTIONS:max_allocation_size_mb=256:fast_unwind_on_malloc=0 \
        "$build/fuzz/zarvo_fuzz_$1" -runs=0 -rss_limit_mb=512 -timeout=10 \
        -artifact_prefix="$out/findings/$1/" "$out/corpus/$1" "$out/seeds/$1" \
        "$repo/fuzz/regressions/$1" > "$out/$1.leaks.log" 2>&1
}
# Seconds of CPU an input takes when run once on its own, beyond what the target's start takes
# (an empty input's run: the metafile targets load every font first, some 0.2 s).
process_seconds() {
    ASAN_OPTIONS=$(asan_options "$1") /usr/bin/time -f '%U %S' -o "$out/time.txt" "$build/fuzz/zarvo_fuzz_$1" -runs=1 -timeout=0 "$2" > /dev/null 2>&1 || true
    awk '{ printf "%.2f", $1 + $2 }' "$out/time.txt"
}
cpu_seconds() {
    : > "$out/empty"
    awk -v a="$(process_seconds "$1" "$2")" -v b="$(process_seconds "$1" "$out/empty")" 'BEGIN { printf "%.2f", a - b }'
}
for target in "${targets[@]}"; do
    mkdir -p "$out/corpus/$target" "$out/findings/$target" "$repo/fuzz/regressions/$target"
    start=$(date +%s)
    total=0
    round=0
    previous=
    # A finding ends libFuzzer; the target then goes on for the runs and seconds left. The
    # timeout is wall-clock time: on a loaded machine under nice an input may wait that long
    # for the CPU. A timed-out input that takes well under a second of CPU on its own is set
    # aside in starved/ instead of counting as a finding.
    while :; do
        round=$((round + 1))
        log=$out/$target.$round.log
        left_seconds=0
        if [[ -n ${ZARVO_FUZZ_SECONDS:-} ]]; then
            left_seconds=$((ZARVO_FUZZ_SECONDS - ($(date +%s) - start)))
            ((left_seconds > 0)) || break
        fi
        failed=0
        ASAN_OPTIONS=$(asan_options "$target") "$build/fuzz/zarvo_fuzz_$target" $(fuzzer_options "$target") \
            -runs="$((runs - total))" -max_total_time="$left_seconds" -rss_limit_mb=512 -timeout=1 \
            -max_len="$(max_len "$target")" -print_final_stats=1 -artifact_prefix="$out/findings/$target/" \
            "$out/corpus/$target" "$out/seeds/$target" "$repo/fuzz/regressions/$target" > "$log" 2>&1 || failed=1
        executions=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log" | tail -1)
        total=$((total + ${executions:-0}))
        ((failed)) || break
        artifact=$(sed -n "s/.*Test unit written to //p" "$log" | tail -1)
        if [[ -n $artifact && $(basename "$artifact") == timeout-* ]] \
            && awk -v s="$(cpu_seconds "$target" "$artifact")" 'BEGIN { exit !(s < 0.5) }'; then
            mkdir -p "$out/findings/$target/starved"
            mv "$artifact" "$out/findings/$target/starved/"
            echo "$target: an input waited for the CPU (set aside in starved/), going on" >&2
        else
            status=1
            echo "$target: FINDING, see $log and ${artifact:-$out/findings/$target/}" >&2
            # A finding in the corpus itself would end every round the same way.
            [[ $artifact != "${previous:-}" ]] || break
            previous=$artifact
        fi
        ((total < runs)) || break
    done
    if metafile "$target" && ! leak_pass "$target"; then
        status=1
        echo "$target: FINDING in the leak check of the corpus, see $out/$target.leaks.log" >&2
    fi
    printf '%s\t%s\t%s\t%s\n' "$target" "$runs" "$total" "$(($(date +%s) - start))" | tee -a "$out/summary.tsv"
done
exit $status
