#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Zarvo's benchmarks in one run: builds the tools it needs, makes the picture corpus once
# (cached in bench/out/corpus), runs every measurement and prints tables with a row per corpus
# set and a column per figure. A cell is "ms per picture  pictures/s" unless its column says
# otherwise ("MB/s": megabytes of picture files, 1e6 bytes, per second; "ratio": a quotient).
#
#   bench/run.sh                           all measurements
#   bench/run.sh folderopen vips           only these
#
# Measurements:
#   thumbnails  Thumbnailer over files already in memory, 1 and 2 worker threads, and the CPU
#               time one picture takes ("ours 1 thread", "ours 2 threads", "ours CPU per picture").
#               For WebP, HEIF, AVIF, TIFF and JPEG XL sets also the floor, in the same run: the
#               CPU time per picture of the format's own library's smallest decode and the fit
#               ("floor CPU per picture") and ours over it ("ours CPU / floor"; the goal: at most
#               1.1). With vips in the same run, "ours 2 threads / vips" compares the decoding
#               alone (goal: at most 1).
#   vips        vipsthumbnail --size 150x150 as two processes, each given every other file, the
#               whole timed ("vips 2 processes"); skipped when vipsthumbnail is not installed.
#   folderopen  Opening a folder in the main window: Form1::openFolderTable on a store holding
#               the set, with the window shown (offscreen), from the call until it returns with
#               the view complete ("open folder"), the CPU time of all threads meanwhile ("open
#               folder CPU") and the part of it on the user-interface thread ("open folder UI
#               thread CPU": rows, BLOB reads, appends, status bar, events). With vips in the same
#               run, "open folder / vips" is our time over vipsthumbnail's (the goal: at most
#               0.85). It also times the parts of an opening one by one on one thread, printed
#               below the tables.
#   import      `zarvoctl add STORE SET FILE...` into a fresh store made by `zarvoctl init`,
#               against `cp FILE... DIR/` into a fresh directory on the same filesystem, both
#               with an fsync of what they wrote inside the timing (SQLite syncs every commit;
#               cp is followed by `sync` of the copies and their directory): "zarvoctl add
#               MB/s", "cp + sync MB/s", "zarvoctl / cp" (throughput ratio).
#               Each opening is made three times in one round: without the thumbnail cache ("open
#               folder"), with an empty cache that it fills ("open, cache empty") and again with
#               that cache ("open, cached"); "cache empty / no cache" (goal: at most 1.05) and
#               "cached / cache empty" (goal: at most 0.1) compare them.
#   bigfolder   The same openings of a folder of 1,000 and of 10,000 2 MP JPEGs (set many2mp,
#               made once, about 1.7 GB), once each, in seconds, with the peak resident memory
#               of each opening, the longest time the window went without painting (a small
#               widget asks for a paint every 4 ms, as an animation would; "longest without a
#               change": no other widget painted), the first screen without cache over one
#               screenful's decode on as many threads (and the CPU time each took, with the
#               user-interface thread's share of the first screen's), and the longest frame
#               while scrolling the cached folder from top to bottom a page at a time, with the
#               count of frames over 16 ms. Not part of the default run:
#               bench/run.sh bigfolder.
#   addcore     The add command's core with a folder open in the main window: AddFiles of the
#               set into the open, empty folder ("add core: AddFiles", and in MB/s), then one
#               reloadFolder() ("add core: reload").
#   importdir   Importing a generated directory tree (2,000 files in 60 directories three levels
#               deep) through the import core into a fresh store, against `cp -r` + `sync` of
#               the tree: set "tree: photos and icons" (a quarter photos of ~1.5 MB) and set
#               "tree: small files" (icons of 1-8 KB): "import MB/s", "cp -r + sync MB/s",
#               "import / cp" (goals: 0.8 and 0.6). The duplicate lookup on a store of 100,000
#               fingerprints in ms per file (goal: at most 1), and fingerprinting the photo store
#               without its fingerprints against reading all its bytes ("fingerprint / read",
#               goal: at most 1.2). Needs no corpus.
#   compaction  The exit compaction (CompactStore) on a generated store of about 1 GB (set
#               "store"; ZARVO_BENCH_STORE_MB sets the size), in seconds: "cp + sync" of the
#               store file, "compact, nothing to reclaim" (goal: at most 0.3 s), then after
#               deleting every other picture "compact after deleting half", "cp + sync of
#               compacted" and their ratio "compact / cp + sync" (goal: at most 2), with the file
#               size before and after in MB. Each compaction holds the store's lock the way the
#               program's exit does; its steps, with CPU times, go to standard error. Needs no
#               corpus.
#   export      The export core (exportFolder) of a store holding the set into a fresh directory,
#               against `cp FILE... DIR/`, each followed by a sync of what it wrote (the export
#               syncs every file before renaming it into place): "export MB/s", "export cp +
#               sync MB/s", "export / cp" (throughput ratio; the goal: at least 0.8).
#   search      The file search over a generated store of 20,000 pictures in 100 folders, in ms
#               per search (not per picture), a row "search" of its own: "file search: no
#               match", "file search: 1% match", "file search: every name", and "file search:
#               older store" (the first search on a store whose tables have no name index yet).
#   server      A store on a PostgreSQL 15 server started for the run (tests/server/pgserver.sh,
#               with a 1 GB buffer cache):
#               `zarvoctl push` of each set's store and of a 1 GB store (row "server1gb", made
#               once into $ZARVO_BENCH_OUT/stores) against pg_restore of a dump of the pushed
#               schema ("zarvoctl push MB/s", "pg_restore MB/s", "push / pg_restore", the goal: at
#               least 0.5); a folder opening from the server against the same from the store file
#               (rows, then every picture read and decoded into a thumbnail by the opening's
#               pipeline through the folder view's own reading, no thumbnail cache: "server
#               folder opening", "file folder opening", ms
#               per picture, "server opening / file opening", the goal: at most 1.2), the bytes
#               read alone ("server folder read", "file folder read", their ratio), the round
#               trips of one opening against N/50 + bytes/64 MB + 5; and the file search over
#               20,000 names on the server (row "search": "server search: no match", "1% match",
#               "every name", ms per search, the goal: at most 50; its round trips).
#   viewer      The viewer and saving, each against its peer in the same run, on the first
#               ZARVO_BENCH_VIEWER_FILES (3) pictures of set jpeg12mp, ZARVO_BENCH_REPEAT (here at
#               least 3) times each, medians, in ms ("ms" cells here are per file, not per picture
#               of a set): "viewer first paint" (the double-click command until the viewer has
#               painted its picture whole, offscreen) against "djpeg" (`djpeg -outfile /dev/null`,
#               libjpeg-turbo-progs), "first paint / djpeg" (goal: at most 0.6), "whole picture /
#               djpeg" (until the whole picture is decoded and shown; goal: at most 1.3); "save as PNG"
#               (SavePicture converting to PNG, QSaveFile and its sync included) against "vips copy
#               PNG" (`vips copy F.jpg F.png`, libvips-tools: zlib level 6, no row filter) and
#               "vips copy PNG sub" (the same with our row filter, Sub; we also use zlib's
#               run-length strategy, which vips does not offer), "save PNG / vips" and "save PNG /
#               vips sub" (goal: at most 1.3), the CPU time of each and the sizes of the files; a
#               row "gif30": a 30-frame 800 x 450 GIF at 25 frames/s playing in a viewer for
#               ZARVO_BENCH_GIF_SECONDS (10), the process's CPU time as a share of one core
#               ("GIF playing CPU %", goal: under 5), against "idle CPU %" (the main window
#               alone). Skipped without djpeg and vips (scripts/install-deps.sh --bench).
#
# Environment: ZARVO_BENCH_OUT (default bench/out), ZARVO_BENCH_BUILD (default
# $ZARVO_BENCH_OUT/build; an existing build directory is used as it is configured),
# ZARVO_BENCH_SETS (space-separated subset of the sets), ZARVO_BENCH_REPEAT (best of N, 2).
# Stores and copies are made in $ZARVO_BENCH_OUT/tmp and removed afterwards.
#
# Adding a measurement: write a function measure_NAME that appends rows with
# `record SET COLUMN VALUE [UNIT]` (UNIT ms, the default, for ms per picture; MB/s; ratio; a
# new SET makes a new row), and add NAME to MEASUREMENTS below; TABLES says which columns each
# table shows, in order; columns of no table are shown in a last table.
# The corpus is made once: delete bench/out/corpus (or one set in it) to make it anew.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$here")
out=${ZARVO_BENCH_OUT:-$here/out}
build=${ZARVO_BENCH_BUILD:-$out/build}
corpus=$out/corpus
results=$out/results.tsv
repeat=${ZARVO_BENCH_REPEAT:-2}
read -r -a sets <<< "${ZARVO_BENCH_SETS:-jpeg12mp jpeg2mp jpegprogressive webp12mp png gif bmp ico heic12mp avif12mp tiff12mp jxl12mp}"

tmpdir=$out/tmp
parts=$out/parts.tsv

MEASUREMENTS=(thumbnails vips folderopen import addcore export compaction search viewer server importdir)
BIG_SETS=(many2mp@1000 many2mp)
# Each table: its title, then its columns separated by "|".
TABLES=(
    "Thumbnails of 150 x 150, decoding only (ours: files in memory)|ours 1 thread|ours 2 threads|ours CPU per picture|vips 2 processes|ours 2 threads / vips|floor CPU per picture|ours CPU / floor"
    "Opening a folder in the main window, against vipsthumbnail over the same files|open folder|vips 2 processes|open folder / vips|open folder CPU|open folder UI thread CPU"
    "Opening a folder with the thumbnail cache|open folder|open, cache empty|open, cached|cache empty / no cache|cached / cache empty"
    "Opening a folder: the first screen, ms once|first screen, no cache|first screen, cache empty|first screen, cached|screenful decode|first screen, no cache / screenful decode|first screen, no cache CPU|first screen, no cache UI thread CPU|screenful decode CPU|longest without painting|longest without a change"
    "Big folders|open folder s|open, cache empty s|open, cached s|peak memory, no cache|peak memory, cache empty|peak memory, cached|first screen, no cache|first screen, cached|first screen, no cache / screenful decode|first screen, no cache CPU|first screen, no cache UI thread CPU|screenful decode CPU|longest without painting|longest without a change|longest scroll frame|longest scroll frame CPU|scroll frames over 16 ms"
    "Adding pictures to a store|zarvoctl add MB/s|cp + sync MB/s|zarvoctl / cp|add core: AddFiles|add core: AddFiles MB/s|add core: reload"
    "Exit compaction of a store of about 1 GB|cp + sync|compact, nothing to reclaim|compact after deleting half|cp + sync of compacted|compact / cp + sync|size before|size after"
    "Exporting a folder|export MB/s|export cp + sync MB/s|export / cp"
    "Importing a directory tree (2,000 files in 60 directories), duplicate lookup, fingerprinting|import MB/s|cp -r + sync MB/s|import / cp|lookup, new content|lookup, stored content|read all bytes s|fingerprint store s|fingerprint / read"
    "Searching files by name, ms per search|file search: no match|file search: 1% match|file search: every name|file search: older store|server search: no match|server search: 1% match|server search: every name|server search round trips"
    "Viewer's first paint of a 12 MP JPEG against djpeg, ms per file|viewer first paint|djpeg|first paint / djpeg|viewer whole picture|whole picture / djpeg|viewer first paint CPU|djpeg CPU|CPU first paint / djpeg|viewer decode only|viewer decode only CPU"
    "Saving a 12 MP JPEG as PNG against vips copy, ms per file|save as PNG|vips copy PNG|vips copy PNG sub|save PNG / vips|save PNG / vips sub|save as PNG CPU|vips copy PNG CPU|vips copy PNG sub CPU|CPU save PNG / vips|CPU save PNG / vips sub|saved PNG size|vips PNG size|vips PNG sub size|save: decode|save: encode|save: write"
    "A store on a PostgreSQL server on this machine|zarvoctl push MB/s|pg_restore MB/s|push / pg_restore|server folder opening|file folder opening|server opening / file opening|server folder read|file folder read|server read / file read|server round trips|server read round trips|round-trip bound"
    "An animated GIF playing in a viewer|GIF playing CPU %|GIF playing UI thread CPU %|GIF frames painted/s|GIF CPU per frame|idle CPU %"
)
TOOLS=(zarvo_bench_corpus zarvo_bench_thumbnails zarvo_bench_folderopen zarvo_bench_addcore zarvo_bench_compaction
    zarvo_bench_export zarvo_bench_search zarvo_bench_viewer zarvo_bench_server zarvo_bench_importdir
    zarvoctl)

log() { printf '== %s\n' "$*" >&2; }

# One result row: set, column, value, unit (ms per picture unless given: MB/s, ratio).
record() { printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "${4:-ms}" >> "$results"; }

# The value of a recorded figure, or nothing.
recorded() { awk -F'\t' -v s="$1" -v c="$2" '$1 == s && $2 == c { v = $3 } END { if (v != "") print v }' "$results"; }

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
        | awk -F'\t' '$1 == "RESULT" { printf "%s\t%s\t%s\t%s\n", $2, $3, $4, ($3 ~ / \/ /) ? "ratio" : "ms" }' >> "$results"
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

# Form1::openFolderTable on a store holding the set, the window shown offscreen; best of N.
measure_folderopen() {
    log "opening a folder: Form1::openFolderTable"
    mkdir -p "$tmpdir"
    : > "$parts"
    "$build/bench/zarvo_bench_folderopen" --repeat "$repeat" --parts "$tmpdir" "$corpus" "${sets[@]}" \
        2> >(grep -v -e '^QStandardPaths' -e 'propagateSizeHints' >&2) \
        | awk -F'\t' -v parts="$parts" '
            $1 == "RESULT" { printf "%s\t%s\t%s\t%s\n", $2, $3, $4, $5 }
            $1 == "PART" { printf "%s\t%s\t%s\n", $2, $3, $4 > parts }' >> "$results"
}

# A folder of 1,000 and of 10,000 2 MP JPEGs: opening times, memory, painting and scrolling.
measure_bigfolder() {
    log "big folders: corpus many2mp in $corpus (made once)"
    "$build/bench/zarvo_bench_corpus" "$corpus" many2mp >&2
    mkdir -p "$tmpdir"
    local set
    for set in "${BIG_SETS[@]}"; do
        log "big folders: $set"
        "$build/bench/zarvo_bench_folderopen" --repeat 1 --scroll "$tmpdir" "$corpus" "$set" \
            2> >(grep -v -e '^QStandardPaths' -e 'propagateSizeHints' >&2) \
            | awk -F'\t' '$1 == "RESULT" { printf "%s\t%s\t%s\t%s\n", $2, $3, $4, $5 }' >> "$results"
    done
}

# MB/s (1e6 bytes) of BYTES written in NANOSECONDS.
megabytes_per_second() { awk -v b="$1" -v ns="$2" 'BEGIN { printf "%.1f", b / 1e6 / (ns / 1e9) }'; }

# zarvoctl add into a fresh store against cp into a fresh directory, each followed by an fsync of
# what it wrote, inside the timing. SQLite already syncs each commit, so the sync of the store
# is nearly free; cp leaves its copies in the page cache, so theirs is not.
measure_import() {
    log "import: zarvoctl add against cp"
    mkdir -p "$tmpdir"
    local set tmp n bytes r start elapsed bestAdd bestCopy
    for set in "${sets[@]}"; do
        mapfile -t files < <(files_of "$set")
        n=${#files[@]}
        ((n > 0)) || continue
        bytes=$(stat -c %s "${files[@]}" | awk '{ s += $1 } END { print s }')
        cat "${files[@]}" > /dev/null # both read from the page cache
        bestAdd='' bestCopy=''
        for ((r = 0; r < repeat; r++)); do
            tmp=$(mktemp -d "$tmpdir/import-XXXXXX")
            "$build/zarvoctl" init "$tmp/data.mdb" > /dev/null
            start=$(now_ns)
            if ! "$build/zarvoctl" add "$tmp/data.mdb" "$set" "${files[@]}" > /dev/null 2> "$tmp/err"; then
                log "zarvoctl add failed on $set: $(head -c 300 "$tmp/err")"
                rm -rf "$tmp"
                bestAdd=
                break
            fi
            sync "$tmp/data.mdb" "$tmp"
            elapsed=$(($(now_ns) - start))
            if [[ -z $bestAdd || $elapsed -lt $bestAdd ]]; then bestAdd=$elapsed; fi
            rm -f "$tmp/data.mdb"

            mkdir "$tmp/copy"
            start=$(now_ns)
            cp "${files[@]}" "$tmp/copy/"
            sync "$tmp/copy" "$tmp/copy"/*
            elapsed=$(($(now_ns) - start))
            if [[ -z $bestCopy || $elapsed -lt $bestCopy ]]; then bestCopy=$elapsed; fi
            rm -rf "$tmp"
        done
        [[ -n $bestAdd ]] && record "$set" "zarvoctl add MB/s" "$(megabytes_per_second "$bytes" "$bestAdd")" MB/s
        [[ -n $bestCopy ]] && record "$set" "cp + sync MB/s" "$(megabytes_per_second "$bytes" "$bestCopy")" MB/s
        if [[ -n $bestAdd && -n $bestCopy ]]; then
            record "$set" "zarvoctl / cp" "$(awk -v a="$bestAdd" -v c="$bestCopy" 'BEGIN { printf "%.3f", c / a }')" ratio
        fi
    done
}

# AddFiles into the open folder of the main window, then one reloadFolder(); best of N each.
measure_addcore() {
    log "adding through AddFiles with the folder open, then its reload"
    mkdir -p "$tmpdir"
    "$build/bench/zarvo_bench_addcore" --repeat "$repeat" "$tmpdir" "$corpus" "${sets[@]}" \
        2> >(grep -v -e '^QStandardPaths' -e 'propagateSizeHints' >&2) \
        | awk -F'\t' '$1 == "RESULT" { printf "%s\t%s\t%s\t%s\n", $2, $3, $4, $5 }' >> "$results"
}

# CompactStore on a generated store against cp + sync of its file; see compactionbench.cpp.
measure_compaction() {
    log "exit compaction of a store of ${ZARVO_BENCH_STORE_MB:-1000} MB"
    mkdir -p "$tmpdir"
    "$build/bench/zarvo_bench_compaction" --repeat "$repeat" --megabytes "${ZARVO_BENCH_STORE_MB:-1000}" "$tmpdir" \
        | awk -F'\t' '$1 == "RESULT" { printf "%s\t%s\t%s\t%s\n", $2, $3, $4, $5 }' >> "$results"
}

# The export core against cp, both synced, in one program; best of N.
measure_export() {
    log "export: exportFolder against cp"
    mkdir -p "$tmpdir"
    "$build/bench/zarvo_bench_export" --repeat "$repeat" "$tmpdir" "$corpus" "${sets[@]}" \
        2> >(grep -v -e '^QStandardPaths' >&2) \
        | awk -F'\t' '$1 == "RESULT" { printf "%s\t%s\t%s\t%s\n", $2, $3, $4, $5 }' >> "$results"
}

# Importing generated directory trees against cp -r + sync, the duplicate lookup on 100,000
# fingerprints and fingerprinting a store; needs no corpus.
measure_importdir() {
    log "importdir: import of a directory tree against cp -r + sync"
    mkdir -p "$tmpdir"
    "$build/bench/zarvo_bench_importdir" "$tmpdir" \
        | awk -F'\t' '$1 == "RESULT" { printf "%s\t%s\t%s\t%s\n", $2, $3, $4, $5 }' >> "$results"
}

# The file search over its own generated store; best of 5.
measure_search() {
    log "searching files by name in 20,000 pictures"
    mkdir -p "$tmpdir"
    "$build/bench/zarvo_bench_search" "$tmpdir" \
        2> >(grep -v -e '^QStandardPaths' >&2) \
        | awk -F'\t' '$1 == "RESULT" { printf "%s\t%s\t%s\t%s\n", $2, $3, $4, $5 }' >> "$results"
}

# A store on a PostgreSQL server of its own (tests/server/pgserver.sh, a Unix socket in the
# temporary directory): `zarvoctl push` of each set's store, and of a store of about 1 GB (row
# "server1gb"), against pg_restore of a pg_dump of the pushed schema into a fresh database (both
# in MB of picture files per second, best of N), then the folder opening and reading from the
# server against the store file, then the file search on the server; see serverbench.cpp.
# The 1 GB store (set jpeg12mp twice and jpeg2mp twice, a folder each) is made once and kept in
# $out/stores; delete it to make it anew.
measure_server() {
    log "server: push against pg_restore, folder opening against the store file, search"
    mkdir -p "$tmpdir"
    local pg uri set tmp bytes
    pg=$(mktemp -d "$tmpdir/pg-XXXXXX")
    # A buffer cache that holds a set, as on a server kept for pictures (PostgreSQL's default of
    # 128 MB would read every page of a 12 MP set through a system call).
    uri=$(ZARVO_PG_SHARED_BUFFERS=1GB bash "$repo/tests/server/pgserver.sh" start "$pg")
    for set in "${sets[@]}"; do
        mapfile -t files < <(files_of "$set")
        ((${#files[@]} > 0)) || continue
        bytes=$(stat -c %s "${files[@]}" | awk '{ s += $1 } END { print s }')
        tmp=$(mktemp -d "$tmpdir/server-XXXXXX")
        "$build/zarvoctl" init "$tmp/data.mdb" > /dev/null
        "$build/zarvoctl" add "$tmp/data.mdb" "$set" "${files[@]}" > /dev/null
        push_against_restore "$uri" "$set" "$tmp/data.mdb" "$bytes"
        "$build/bench/zarvo_bench_server" --repeat "$repeat" "$tmp/data.mdb" \
            "$uri&options=-csearch_path%3Ds" "$set" 2> >(grep -v -e '^QStandardPaths' >&2) \
            | awk -F'\t' '$1 == "RESULT" { printf "%s\t%s\t%s\t%s\n", $2, $3, $4, $5 }' >> "$results"
        rm -rf "$tmp"
    done

    local big=$out/stores/server1gb.mdb
    "$build/bench/zarvo_bench_corpus" "$corpus" jpeg12mp jpeg2mp >&2
    if [[ ! -f $big.bytes ]]; then
        log "server: making the 1 GB store $big"
        mkdir -p "$out/stores"
        rm -f "$big"
        "$build/zarvoctl" init "$big" > /dev/null
        local copy
        for copy in 1 2; do
            for set in jpeg12mp jpeg2mp; do
                mapfile -t files < <(files_of "$set")
                "$build/zarvoctl" add "$big" "$set-$copy" "${files[@]}" > /dev/null
                stat -c %s "${files[@]}"
            done
        done | awk '{ s += $1 } END { print s }' > "$big.bytes.new"
        mv "$big.bytes.new" "$big.bytes"
    fi
    push_against_restore "$uri" server1gb "$big" "$(cat "$big.bytes")"

    psql -q "$uri" -c "DROP SCHEMA IF EXISTS s CASCADE" -c "CREATE SCHEMA search" > /dev/null 2>&1
    "$build/bench/zarvo_bench_server" --search "$uri&options=-csearch_path%3Dsearch" \
        2> >(grep -v -e '^QStandardPaths' >&2) \
        | awk -F'\t' '$1 == "RESULT" { printf "%s\t%s\t%s\t%s\n", $2, $3, $4, $5 }' >> "$results"
    bash "$repo/tests/server/pgserver.sh" stop "$pg"
}

# push_against_restore URI SET STORE BYTES: `zarvoctl push` of STORE into schema s, against
# pg_restore of a dump of that schema (no compression) into a fresh database, best of N each;
# schema s keeps the last push.
push_against_restore() {
    local uri=$1 set=$2 store=$3 bytes=$4 r start elapsed bestPush='' bestRestore=''
    local bin=${ZARVO_PG_BIN:-/usr/lib/postgresql/15/bin} dump
    dump=$(mktemp "$tmpdir/dump-XXXXXX")
    for ((r = 0; r < repeat; r++)); do
        psql -q "$uri" -c "DROP SCHEMA IF EXISTS s CASCADE; CREATE SCHEMA s" > /dev/null 2>&1
        start=$(now_ns)
        "$build/zarvoctl" push "$store" "$uri&options=-csearch_path%3Ds" > /dev/null
        elapsed=$(($(now_ns) - start))
        if [[ -z $bestPush || $elapsed -lt $bestPush ]]; then bestPush=$elapsed; fi
        "$bin/pg_dump" -Fc -Z0 -n s -f "$dump" "$uri"
        psql -q "$uri" -c "DROP DATABASE IF EXISTS restored" -c "CREATE DATABASE restored" > /dev/null 2>&1
        start=$(now_ns)
        "$bin/pg_restore" -d "${uri/\/zarvo\?//restored?}" "$dump"
        elapsed=$(($(now_ns) - start))
        if [[ -z $bestRestore || $elapsed -lt $bestRestore ]]; then bestRestore=$elapsed; fi
        rm -f "$dump"
    done
    psql -q "$uri" -c "DROP DATABASE IF EXISTS restored" > /dev/null 2>&1
    record "$set" "zarvoctl push MB/s" "$(megabytes_per_second "$bytes" "$bestPush")" MB/s
    record "$set" "pg_restore MB/s" "$(megabytes_per_second "$bytes" "$bestRestore")" MB/s
    record "$set" "push / pg_restore" "$(awk -v p="$bestPush" -v r="$bestRestore" 'BEGIN { printf "%.3f", r / p }')" ratio
}

# The viewer's first paint against djpeg, saving as PNG against vips copy, a GIF playing; see
# viewerbench.cpp. Both sides of each ratio run alternately in the one program.
measure_viewer() {
    if ! command -v djpeg > /dev/null || ! command -v vips > /dev/null; then
        log "viewer: djpeg or vips not installed (scripts/install-deps.sh --bench): skipped"
        return
    fi
    log "viewer: first paint against djpeg, PNG saving against vips copy, a GIF playing"
    "$build/bench/zarvo_bench_corpus" "$corpus" jpeg12mp >&2
    mkdir -p "$tmpdir"
    "$build/bench/zarvo_bench_viewer" --repeat "$((repeat < 3 ? 3 : repeat))" \
        --seconds "${ZARVO_BENCH_GIF_SECONDS:-10}" \
        "$tmpdir" "$corpus" "jpeg12mp@${ZARVO_BENCH_VIEWER_FILES:-3}" \
        2> >(grep -v -e '^QStandardPaths' -e 'propagateSizeHints' >&2) \
        | awk -F'\t' '$1 == "RESULT" { printf "%s\t%s\t%s\t%s\n", $2, $3, $4, $5 }' >> "$results"
}

# Figures computed from others: our folder opening and thumbnails over vipsthumbnail's time.
derive_ratios() {
    local set ours vips floor
    for set in "${sets[@]}"; do
        ours=$(recorded "$set" "ours 2 threads")
        vips=$(recorded "$set" "vips 2 processes")
        if [[ -n $ours && -n $vips ]]; then
            record "$set" "ours 2 threads / vips" "$(awk -v o="$ours" -v v="$vips" 'BEGIN { printf "%.3f", o / v }')" ratio
        fi
        ours=$(recorded "$set" "open folder")
        vips=$(recorded "$set" "vips 2 processes")
        if [[ -n $ours && -n $vips ]]; then
            record "$set" "open folder / vips" "$(awk -v o="$ours" -v v="$vips" 'BEGIN { printf "%.3f", o / v }')" ratio
        fi
    done
}

# print_table TITLE COLUMN...: the sets that have a figure in any of the columns.
print_table() {
    local title=$1
    shift
    local columns
    columns=$(printf '%s\t' "$@")
    awk -F'\t' -v title="$title" -v columns="$columns" '
        BEGIN { nCols = split(columns, col, "\t"); if (col[nCols] == "") nCols-- }
        { cell[$1, $2] = $3; unit[$1, $2] = $4 }
        !($1 in seenSet) { seenSet[$1] = 1; setOrder[++nSets] = $1 }
        END {
            shown = 0
            for (s = 1; s <= nSets; s++)
                for (c = 1; c <= nCols; c++)
                    if ((setOrder[s], col[c]) in cell) { hasRow[s] = 1; shown = 1 }
            if (!shown) exit
            printf "\n%s\n%-16s", title, "set"
            for (c = 1; c <= nCols; c++) printf " | %-24s", col[c]
            printf "\n%-16s", "----------------"
            for (c = 1; c <= nCols; c++) printf " | %-24s", "------------------------"
            printf "\n"
            for (s = 1; s <= nSets; s++) {
                if (!hasRow[s]) continue
                printf "%-16s", setOrder[s]
                for (c = 1; c <= nCols; c++) {
                    key = setOrder[s] SUBSEP col[c]
                    if (!(key in cell)) printf " | %-24s", "-"
                    else if (unit[key] == "MB/s") printf " | %14.1f MB/s     ", cell[key]
                    else if (unit[key] == "ratio") printf " | %14.2f          ", cell[key]
                    else if (unit[key] == "s") printf " | %14.3f s        ", cell[key]
                    else if (unit[key] == "MB") printf " | %14.1f MB       ", cell[key]
                    else if (unit[key] == "ms once") printf " | %14.1f ms       ", cell[key]
                    else if (unit[key] == "%") printf " | %14.2f %%        ", cell[key]
                    else if (unit[key] == "count") printf " | %14d          ", cell[key]
                    else if (unit[key] == "/s") printf " | %14.1f /s       ", cell[key]
                    else printf " | %10.2f ms %8.1f/s", cell[key], 1000 / cell[key]
                }
                printf "\n"
            }
        }' "$results"
}

print_tables() {
    local table listed=() fields
    for table in "${TABLES[@]}"; do
        IFS='|' read -r -a fields <<< "$table"
        print_table "${fields[@]}"
        listed+=("${fields[@]:1}")
    done
    # Columns of no table, in order of appearance.
    local others=()
    mapfile -t others < <(awk -F'\t' -v listed="$(printf '%s\t' "${listed[@]}")" '
        BEGIN { n = split(listed, l, "\t"); for (i = 1; i <= n; i++) known[l[i]] = 1 }
        !($2 in known) && !($2 in seen) { seen[$2] = 1; print $2 }' "$results")
    ((${#others[@]} == 0)) || print_table "Other figures" "${others[@]}"
    if [[ -s $parts ]]; then
        echo
        echo "Where an opening spends its time: its parts one after the other on one thread, in ms of that"
        echo "thread's CPU per picture (on two cores all but the decoding is taken from the two decoders)."
        awk -F'\t' '{ printf "%-16s %-58s %9.3f\n", $1, $2, $3 }' "$parts"
    fi
}

main() {
    local wanted=("$@")
    ((${#wanted[@]})) || wanted=("${MEASUREMENTS[@]}")
    mkdir -p "$out"
    build_tools
    local m
    for m in "${wanted[@]}"; do
        if [[ $m != compaction && $m != importdir ]]; then
            make_corpus
            break
        fi
    done
    : > "$results"
    rm -f "$parts"
    for m in "${wanted[@]}"; do
        "measure_$m"
    done
    derive_ratios
    rm -rf "$tmpdir"
    echo
    echo "On $(nproc) cores ($(uname -m)), load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)."
    echo "Cells: ms per picture and pictures per second, unless they say s, MB or MB/s, or are a ratio."
    print_tables
}

main "$@"
