#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Kills zarvoctl with SIGKILL at random points and checks the store after each kill: SQLite's
# integrity check is ok, every row is whole and every picture is there byte for byte.
#   bench/kill.sh add [POINTS [PICTURES]]   `zarvoctl add` of PICTURES pictures (default 100
#                                           points, 1000 pictures): every picture zarvoctl
#                                           reported as added is there
#   bench/kill.sh compact [POINTS]          `zarvoctl compact` of a store with half its pictures
#                                           deleted (default 100 points): the store is the old
#                                           or the compacted one, and the next compaction works
#   bench/kill.sh import [POINTS [PICTURES]] `zarvoctl import` of a tree of PICTURES pictures
#                                           (default 100 points, 1000 pictures), run again after
#                                           each kill: no node, table or picture twice, no table
#                                           without its node, and the run that ends leaves what
#                                           an undisturbed import makes
# These are the tests ZarvoctlFaults.KilledAdd..., KilledCompaction... and KilledImport... run
# longer. Uses the build in $ZARVO_BUILD (default build/), building zarvoctl and the test program.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ZARVO_BUILD:-$repo/build}
case ${1:-} in
add) filter='ZarvoctlFaults.KilledAdd*' ;;
compact) filter='ZarvoctlFaults.KilledCompaction*' ;;
import) filter='ZarvoctlFaults.KilledImport*' ;;
*)
    echo "usage: bench/kill.sh add|compact|import [POINTS [PICTURES]]" >&2
    exit 2
    ;;
esac
[[ -d $build ]] || cmake -S "$repo" -B "$build" -G Ninja
cmake --build "$build" -j2 --target zarvoctl zarvo_app_tests
ZARVO_BINARY_DIR=$build ZARVO_KILL_POINTS=${2:-100} ZARVO_KILL_PICTURES=${3:-1000} QT_QPA_PLATFORM=offscreen \
    "$build/tests/app/zarvo_app_tests" --gtest_filter="$filter"
