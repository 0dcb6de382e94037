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
for key in Name GenericName Comment; do
  grep -q "^$key\[zh_CN\]=.*图片" "$desktop" || fail "the menu entry has no Chinese $key"
  grep -q "^$key\[en\]=[A-Z]" "$desktop" || fail "the menu entry has no English $key"
done

metainfo=$usr/share/metainfo/org.zarvo.Zarvo.metainfo.xml
appstreamcli validate --no-net "$metainfo" > /dev/null || {
  appstreamcli validate --no-net "$metainfo"
  fail "appstreamcli validate: $metainfo"
}
grep -qF '<launchable type="desktop-id">org.zarvo.Zarvo.desktop</launchable>' "$metainfo" \
  || fail "the metadata does not launch the installed menu entry"
for tag in name summary p li; do
  grep -q "<$tag xml:lang=\"zh-CN\">" "$metainfo" || fail "the metadata has no Chinese <$tag>"
done
grep -q 'interface is Chinese\.' "$metainfo" && fail "the metadata says Zarvo speaks only Chinese"

for size in 16 22 24 32 48 64 128 256 512; do
  icon=$usr/share/icons/hicolor/${size}x${size}/apps/zarvo.png
  [ -f "$icon" ] || fail "no icon of $size pixels"
  file -b "$icon" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" \
    || fail "$icon is not a $size x $size RGBA PNG: $(file -b "$icon")"
done

# The manual pages in English and in Chinese, each telling how the language is chosen.
for section in man1:SYNOPSIS zh_CN/man1:概述; do
  for page in zarvoctl zarvo zarvo-launcher; do
    man=$usr/share/man/${section%:*}/$page.1.gz
    gzip -t "$man" || fail "$man is not gzip"
    LC_ALL=C.UTF-8 man -l "$man" 2> /dev/null | grep "ZARVO_LANGUAGE" > /dev/null \
      || fail "$man does not render or says nothing of ZARVO_LANGUAGE"
  done
  zcat "$usr/share/man/${section%:*}/zarvoctl.1.gz" | grep "^\.SH ${section#*:}" > /dev/null \
    || fail "${section%:*}/zarvoctl.1 has no synopsis"
done

doc=$usr/share/doc/zarvo
grep -q '^License: MIT' "$doc/copyright" || fail "no copyright file"
zcat "$doc/changelog.gz" | head -1 | grep -q '^zarvo (' || fail "no Debian changelog"

# The guide in Chinese and in English (en/): one page per task in each, every link and picture
# of every page present, menu items written as the menus show them (no & of their definition).
help=$usr/share/zarvo/help
for guide in "$help" "$help/en"; do
  for page in index browse add view save export folders search gif store; do
    [ -f "$guide/$page.html" ] || fail "the guide $guide has no $page.html"
  done
  for page in "$guide"/*.html; do
    for target in $(grep -o -E '(href|src)="[^"#:]+' "$page" | sed 's/^[a-z]*="//'); do
      [ -f "$guide/$target" ] || fail "$page refers to $target, which is not installed"
    done
  done
done
grep -l '(&amp;[A-Za-z])\|"&amp;[A-Za-z]' "$help"/*.html "$help"/en/*.html \
  && fail "the guide shows the & of a menu item's definition"
grep -L '<html lang="en">' "$help"/en/*.html | grep . && fail "English pages not marked as English"
echo "installed tree ok"
