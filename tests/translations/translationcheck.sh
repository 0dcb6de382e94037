#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Every translation in translations/ is complete: lupdate run over the program's sources into a
# copy of each .ts file changes nothing (no text of the program is missing, none is left over)
# and no entry is unfinished.
#   translationcheck.sh LUPDATE TRANSLATIONS_DIR SOURCES_LIST SOURCE_DIR
set -euo pipefail
lupdate=$1 translations=$2 sources=$3 root=$4

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
shopt -s nullglob
files=("$translations"/zarvo_*.ts)
if [ ${#files[@]} -eq 0 ]; then
  echo "no translations in $translations" >&2
  exit 1
fi
for ts in "${files[@]}"; do
  copy="$tmp/$(basename "$ts")"
  cp "$ts" "$copy"
  "$lupdate" -silent -locations none -no-obsolete -I "$root" "@$sources" -ts "$copy"
  if ! diff -u "$ts" "$copy" > "$tmp/diff"; then
    echo "$(basename "$ts") does not hold the program's texts as they are now:" >&2
    cat "$tmp/diff" >&2
    status=1
  fi
  if grep -n 'type="unfinished"' "$copy" >&2; then
    echo "$(basename "$ts") has unfinished entries (above)" >&2
    status=1
  fi
done
if [ $status -ne 0 ]; then
  echo "Bring the files up to date with 'cmake --build <build> --target update_translations'" \
    "and translate every new or changed text." >&2
fi
exit $status
