#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Installs a build tree into a staging directory (DESTDIR) and checks the installed files with
# the desktop's own validators.   installtest.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

DESTDIR="$stage/root" "$cmake" --install "$build" --prefix /usr > /dev/null
usr=$stage/root/usr

for program in zarvo zarvoctl zarvo-launcher; do
  [ -x "$usr/bin/$program" ] || fail "bin/$program is not installed as a program"
done
[ -x "$usr/libexec/zarvo/zarvo-metafile" ] || fail "libexec/zarvo/zarvo-metafile is not installed"
"$usr/bin/zarvoctl" init "$stage/data.mdb" > /dev/null || fail "the installed zarvoctl cannot make a store"

desktop=$usr/share/applications/org.zarvo.Zarvo.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate: $desktop"
for line in 'Categories=Graphics;Viewer;' 'Exec=zarvo-launcher' 'Icon=zarvo'; do
  grep -qxF "$line" "$desktop" || fail "the menu entry lacks $line"
done
grep -q '^Name\[zh_CN\]=.*图片' "$desktop" || fail "the menu entry has no Chinese name"
grep -q '^Comment\[zh_CN\]=.*图片' "$desktop" || fail "the menu entry has no Chinese comment"

metainfo=$usr/share/metainfo/org.zarvo.Zarvo.metainfo.xml
appstreamcli validate --no-net "$metainfo" > /dev/null || {
  appstreamcli validate --no-net "$metainfo"
  fail "appstreamcli validate: $metainfo"
}
grep -qF '<launchable type="desktop-id">org.zarvo.Zarvo.desktop</launchable>' "$metainfo" \
  || fail "the metadata does not launch the installed menu entry"

for size in 16 22 24 32 48 64 128 256 512; do
  icon=$usr/share/icons/hicolor/${size}x${size}/apps/zarvo.png
  [ -f "$icon" ] || fail "no icon of $size pixels"
  file -b "$icon" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" \
    || fail "$icon is not a $size x $size RGBA PNG: $(file -b "$icon")"
done

for page in zarvoctl zarvo zarvo-launcher; do
  man=$usr/share/man/man1/$page.1.gz
  gzip -t "$man" || fail "$man is not gzip"
  man -l "$man" 2> /dev/null | grep -q "zarvo" || fail "$man does not render"
done
zcat "$usr/share/man/man1/zarvoctl.1.gz" | grep -q '^\.SH SYNOPSIS' || fail "zarvoctl.1 has no synopsis"

doc=$usr/share/doc/zarvo
grep -q '^License: MIT' "$doc/copyright" || fail "no copyright file"
zcat "$doc/changelog.gz" | head -1 | grep -q '^zarvo (' || fail "no Debian changelog"

# The guide: one page per task, every link and picture of every page present.
help=$usr/share/zarvo/help
for page in index browse add view save export folders search gif store; do
  [ -f "$help/$page.html" ] || fail "the guide has no $page.html"
done
for page in "$help"/*.html; do
  for target in $(grep -o -E '(href|src)="[^"#:]+' "$page" | sed 's/^[a-z]*="//'); do
    [ -f "$help/$target" ] || fail "$(basename "$page") refers to $target, which is not installed"
  done
done
echo "installed tree ok"
