#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Builds the Debian package from a build tree (default build/, as scripts/test.sh leaves it;
# only what is out of date is built) and checks it: its control data and contents, lintian
# (no errors), the menu entry and the AppStream metadata inside it, and that apt could install
# it here. Prints the path of the package last.
#   scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
[ -f "$dir/CPackConfig.cmake" ] || cmake -S . -B "$dir" -G Ninja
cmake --build "$dir" -j"$(nproc)"

rm -f "$dir"/zarvo_*.deb
(cd "$dir" && cpack -G DEB > /dev/null)
deb=$(ls "$dir"/zarvo_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
dpkg-deb --field "$deb" Depends | grep -q 'libqt6widgets6' \
  || { echo "package.sh: dpkg-shlibdeps found no dependencies" >&2; exit 1; }
lintian --fail-on error "$deb"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
desktop-file-validate "$unpacked"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml
apt-get install --simulate --no-install-recommends "$(realpath "$deb")" > /dev/null
echo "$deb"
