#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Installs what Zarvo needs, builds it, and starts it in demo/, a working directory with a
# ready store (made on the first run with zarvoctl and the sample pictures).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake -S . -B build -G Ninja
cmake --build build -j"$(nproc)" --target zarvo zarvoctl

if [ ! -f demo/data.mdb ]; then
  mkdir -p demo
  ctl=build/zarvoctl
  $ctl init demo/data.mdb
  $ctl add demo/data.mdb 风景 resources/samples/*.jpg
  $ctl add demo/data.mdb 图标与动画 resources/samples/*.png resources/samples/*.gif \
    resources/samples/*.bmp resources/samples/*.ico
fi
cd demo
exec ../build/zarvo "$@"
