#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# The menu entry's launcher, with a stand-in for Zarvo that records where and how it was
# started (no display needed) and the real zarvoctl.   launchertest.sh LAUNCHER ZARVOCTL
set -euo pipefail
launcher=$1
zarvoctl=$2
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

mkdir "$t/bin" "$t/home"
cp "$launcher" "$t/bin/zarvo-launcher"
ln -s "$zarvoctl" "$t/bin/zarvoctl"
cat > "$t/bin/zarvo" << 'STANDIN'
#!/bin/sh
{ pwd; printf '%s\n' "$@"; } > "$HOME/started"
printf '%s' "${ZARVO_STORE:-}" > "$HOME/store"
STANDIN
chmod +x "$t/bin/zarvo"

# launch DATA_HOME_SETTING: runs the launcher as the menu would, from the home directory
launch() {
  rm -f "$t/home/started"
  (cd "$t/home" && env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u ZARVO_STORE HOME="$t/home" "$@" \
    "$t/bin/zarvo-launcher" -x) \
    || fail "the launcher failed"
  [ -f "$t/home/started" ] || fail "Zarvo was not started"
}
expect_started_in() {
  [ "$(head -1 "$t/home/started")" = "$1" ] || fail "Zarvo started in $(head -1 "$t/home/started"), not $1"
  [ "$(sed -n 2p "$t/home/started")" = "-x" ] || fail "the arguments did not reach Zarvo"
  "$zarvoctl" list "$1/data.mdb" > /dev/null || fail "no usable store in $1"
}

# First run: the directory and an empty store are made, Zarvo is started there.
store=$t/home/.local/share/zarvo
launch
expect_started_in "$store"

# Second run: the store is left alone.
sample=$(dirname "$launcher")/../resources/samples/晚霞.jpg
"$zarvoctl" add "$store/data.mdb" 风景 "$sample" > /dev/null || fail "cannot add to the new store"
cp -p "$store/data.mdb" "$t/before.mdb"
launch
expect_started_in "$store"
cmp -s "$store/data.mdb" "$t/before.mdb" || fail "the second run changed the store"
[ "$(ls "$store")" = "data.mdb" ] || fail "the second run left files beside the store: $(ls "$store")"

# XDG_DATA_HOME is followed when absolute, and ignored when relative.
launch XDG_DATA_HOME="$t/data"
expect_started_in "$t/data/zarvo"
rm -rf "$store"
launch XDG_DATA_HOME=relative
expect_started_in "$store"
[ ! -e "$t/home/relative" ] || fail "a relative XDG_DATA_HOME was used"
# A server store remembered by `zarvoctl use` reaches Zarvo in ZARVO_STORE, and no store file is
# made for it; an explicit ZARVO_STORE wins; without the file the local store is back.
rm -rf "$store"
uri='postgresql://pictures.example/zarvo?sslmode=require'
mkdir -p "$t/home/.config/zarvo"
printf '%s\n' "$uri" > "$t/home/.config/zarvo/store"
launch
[ "$(cat "$t/home/store")" = "$uri" ] || fail "the remembered server store did not reach Zarvo"
[ ! -e "$store/data.mdb" ] || fail "a store file was made for a server store"
launch ZARVO_STORE=/elsewhere/data.mdb
[ "$(cat "$t/home/store")" = /elsewhere/data.mdb ] || fail "ZARVO_STORE was overridden"
rm "$t/home/.config/zarvo/store"
launch
[ -z "$(cat "$t/home/store")" ] || fail "a forgotten server store was still used"
expect_started_in "$store"
echo "launcher ok"
