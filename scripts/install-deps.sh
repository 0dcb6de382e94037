#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Installs the Debian 12 packages that building, running and testing Zarvo need. Does nothing
# when they are all present. Uses sudo when not run as root.
#   --list    only print the package names
#   --bench   also what the benchmarks compare against (libvips-tools, libjpeg-turbo-progs)
#   --fuzz    also what fuzz/run.sh builds with (clang and its libFuzzer runtime)
#   --shots   also what doc/guide/screenshots.sh takes the guide's pictures with
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-multimedia-dev qt6-svg-dev
  qt6-tools-dev qt6-l10n-tools
  libsqlite3-dev libsqlitecpp-dev sqlite3
  libpq-dev postgresql-15
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libgif-dev
  libxxhash-dev libzstd-dev libexif-dev
  libheif-dev libavif-dev libtiff-dev libjxl-dev libwebp-dev
  libemf2svg-dev libwmf-dev
  libheif-examples libavif-bin libtiff-tools libjxl-tools webp libimage-exiftool-perl imagemagick
  fonts-wqy-zenhei fonts-urw-base35 qt6-translations-l10n
  googletest libgtest-dev
  clang-format git
  desktop-file-utils appstream lintian dpkg-dev file man-db
)
case "${1:-}" in
  --list) echo "${packages[@]}"; exit 0 ;;
  --bench) packages+=(libvips-tools libjpeg-turbo-progs) ;;
  --fuzz) packages+=(clang libclang-rt-14-dev) ;;
  --shots) packages+=(xvfb openbox tint2 xdotool imagemagick x11-utils pngquant) ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo > /dev/null; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them as root: apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
