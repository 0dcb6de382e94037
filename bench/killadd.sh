#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Kills `zarvoctl add` of many pictures with SIGKILL at random points and checks the store after
# each kill: SQLite's integrity check is ok, every picture zarvoctl reported as added is there
# byte for byte, and every row is whole. It is the test ZarvoctlFaults.KilledAdd... run longer.
#   bench/killadd.sh [POINTS [PICTURES]]      default: 100 points, 1000 pictures
# Uses the build in $ZARVO_BUILD (default build/), building zarvoctl and the test program.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ZARVO_BUILD:-$repo/build}
[[ -d $build ]] || cmake -S "$repo" -B "$build" -G Ninja
cmake --build "$build" -j2 --target zarvoctl zarvo_app_tests
ZARVO_BINARY_DIR=$build ZARVO_KILL_POINTS=${1:-100} ZARVO_KILL_PICTURES=${2:-1000} QT_QPA_PLATFORM=offscreen \
    "$build/tests/app/zarvo_app_tests" --gtest_filter='ZarvoctlFaults.KilledAdd*'
