#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Zarvo's benchmarks in one run: builds the tools it needs, makes the picture corpus once
# (cached in bench/out/corpus), runs every measurement and prints one table with a row per
# corpus set and a column per measurement, each cell "ms per picture  pictures/s".
#
#   bench/run.sh                  all measurements
#   bench/run.sh thumbnails vips  only these
#
# Environment: ZARVO_BENCH_OUT (default bench/out), ZARVO_BENCH_BUILD (default
# $ZARVO_BENCH_OUT/build; an existing build directory is used as it is configured),
# ZARVO_BENCH_SETS (space-separated subset of the sets), ZARVO_BENCH_REPEAT (best of N, 2).
#
# Adding a measurement: write a function measure_NAME that appends rows with
# `record SET COLUMN MS_PER_ITEM` (a new SET makes a new row), and add NAME to MEASUREMENTS
# below; COLUMNS lists the columns that come first, the rest follow in order of appearance.
# The corpus is made once: delete bench/out/corpus (or one set in it) to make it anew.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$here")
out=${ZARVO_BENCH_OUT:-$here/out}
build=${ZARVO_BENCH_BUILD:-$out/build}
corpus=$out/corpus
results=$out/results.tsv
repeat=${ZARVO_BENCH_REPEAT:-2}
read -r -a sets <<< "${ZARVO_BENCH_SETS:-jpeg12mp jpeg2mp jpegprogressive png gif bmp ico}"

MEASUREMENTS=(thumbnails vips)
COLUMNS=("ours 1 thread" "ours 2 threads" "vips 2 processes")
TOOLS=(zarvo_bench_corpus zarvo_bench_thumbnails)

log() { printf '== %s\n' "$*" >&2; }

# One result row: set, column, milliseconds per item.
record() { printf '%s\t%s\t%s\n' "$1" "$2" "$3" >> "$results"; }

now_ns() { date +%s%N; }

build_tools() {
    if [[ ! -f $build/CMakeCache.txt ]]; then
        log "configuring $build"
        cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF > /dev/null
    fi
    log "building ${TOOLS[*]}"
    cmake --build "$build" -j2 --target "${TOOLS[@]}" > "$out/build.log" 2>&1 \
        || { cat "$out/build.log" >&2; exit 1; }
}

make_corpus() {
    log "corpus in $corpus"
    "$build/bench/zarvo_bench_corpus" "$corpus" "${sets[@]}" >&2
}

files_of() { find "$corpus/$1" -maxdepth 1 -type f ! -name '.*' | sort; }

measure_thumbnails() {
    log "thumbnails: Thumbnailer, 1 and 2 threads"
    "$build/bench/zarvo_bench_thumbnails" --repeat "$repeat" "$corpus" "${sets[@]}" \
        | awk -F'\t' '$1 == "RESULT" { printf "%s\t%s\t%s\n", $2, $3, $4 }' >> "$results"
}

# vipsthumbnail as two processes, each given every other file; the whole is timed
# (process start and reading the files from the page cache included).
measure_vips() {
    if ! command -v vipsthumbnail > /dev/null; then
        log "vipsthumbnail not installed: skipped"
        return
    fi
    log "thumbnails: vipsthumbnail, 2 processes"
    local set tmp best n start elapsed r
    for set in "${sets[@]}"; do
        mapfile -t files < <(files_of "$set")
        n=${#files[@]}
        ((n > 0)) || continue
        local half1=() half2=() i
        for ((i = 0; i < n; i++)); do
            if ((i % 2 == 0)); then half1+=("${files[i]}"); else half2+=("${files[i]}"); fi
        done
        tmp=$(mktemp -d)
        best=
        for ((r = 0; r < repeat; r++)); do
            start=$(now_ns)
            local failed=0
            VIPS_CONCURRENCY=1 vipsthumbnail --size 150x150 -o "$tmp/%s.jpg" "${half1[@]}" 2> "$tmp/err1" &
            local p1=$!
            VIPS_CONCURRENCY=1 vipsthumbnail --size 150x150 -o "$tmp/%s.jpg" "${half2[@]}" 2> "$tmp/err2" &
            local p2=$!
            wait "$p1" || failed=1
            wait "$p2" || failed=1
            elapsed=$(($(now_ns) - start))
            if ((failed)); then
                log "vipsthumbnail failed on $set: $(head -c 300 "$tmp/err1" "$tmp/err2" | tr '\n' ' ')"
                best=
                break
            fi
            if [[ -z $best || $elapsed -lt $best ]]; then best=$elapsed; fi
        done
        rm -rf "$tmp"
        [[ -n $best ]] && record "$set" "vips 2 processes" "$(awk -v ns="$best" -v n="$n" 'BEGIN { printf "%.3f", ns / 1e6 / n }')"
    done
}

print_table() {
    local preferred
    preferred=$(printf '%s\t' "${COLUMNS[@]}")
    awk -F'\t' -v preferred="$preferred" '
        BEGIN {
            n = split(preferred, first, "\t")
            for (i = 1; i <= n; i++) if (first[i] != "") wanted[first[i]] = 1
        }
        !($1 in seenSet) { seenSet[$1] = 1; setOrder[++nSets] = $1 }
        { present[$2] = 1 }
        !($2 in seenCol) && !($2 in wanted) { seenCol[$2] = 1; extra[++nExtra] = $2 }
        { cell[$1, $2] = $3 }
        END {
            for (i = 1; i <= n; i++) if (first[i] in present) colOrder[++nCols] = first[i]
            for (i = 1; i <= nExtra; i++) colOrder[++nCols] = extra[i]
            printf "%-16s", "set"
            for (c = 1; c <= nCols; c++) printf " | %-22s", colOrder[c]
            printf "\n%-16s", "----------------"
            for (c = 1; c <= nCols; c++) printf " | %-22s", "----------------------"
            printf "\n"
            for (s = 1; s <= nSets; s++) {
                printf "%-16s", setOrder[s]
                for (c = 1; c <= nCols; c++) {
                    key = setOrder[s] SUBSEP colOrder[c]
                    if (key in cell) printf " | %7.2f ms %8.1f/s", cell[key], 1000 / cell[key]
                    else printf " | %-22s", "-"
                }
                printf "\n"
            }
        }' "$results"
}

main() {
    local wanted=("$@")
    ((${#wanted[@]})) || wanted=("${MEASUREMENTS[@]}")
    mkdir -p "$out"
    build_tools
    make_corpus
    : > "$results"
    local m
    for m in "${wanted[@]}"; do
        "measure_$m"
    done
    echo
    echo "Thumbnails of 150 x 150 on $(nproc) cores ($(uname -m)); ms per picture and pictures per second."
    print_table
}

main "$@"
