#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Checks the formatting, builds Zarvo with warnings as errors and runs every test, headless.
#   scripts/test.sh              build in build/ and test
#   scripts/test.sh --sanitize   the same with AddressSanitizer and UndefinedBehaviorSanitizer,
#                                in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

dir=build
options=(-DZARVO_WERROR=ON)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  options+=(-DZARVO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

# Every C++ file keeps to the committed .clang-format.
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

cmake -S . -B "$dir" -G Ninja "${options[@]}"
cmake --build "$dir" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
