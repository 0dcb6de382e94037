#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Keeps the shape of the code:
#  - only the window's folders include QtWidgets headers: app/ (but zarvoctl's and the metafile
#    helper's files), dialogs/, widgets/, the GIF tool's window (tfgi, fitpicture), tests/ and
#    bench/. A Core+Gui target still compiles <QtWidgets/QWidget>, so the build alone cannot
#    tell; the headers are the ones installed in QT_WIDGETS_DIR, less those QtCore, QtGui, QtSvg
#    or QtConcurrent have as well.
#  - an include runs only down the floors, bottom to top
#      store, imaging, view, pictures + folders + the GIF tool's frames, widgets, dialogs,
#      the GIF tool's window, app
#    and no two files of one folder include each other (a file pair x.h/x.cpp counts as one).
#  - the programs that run on the core alone (zarvoctl, zarvo-metafile) need no libQt6Widgets.
#
#   layoutcheck.sh SOURCE_DIR QT_WIDGETS_DIR PROGRAM...
set -euo pipefail
src=$1
widgetsdir=$2
shift 2
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

cd "$src"
if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
  mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | sort -u)
else
  mapfile -t files < <(find . -path './build*' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) \
    -print | sed 's#^\./##' | sort)
fi
[ "${#files[@]}" -gt 100 ] || fail "found only ${#files[@]} C++ files under $src"

# --- widget headers
[ -f "$widgetsdir/QWidget" ] || fail "$widgetsdir holds no QtWidgets headers"
qtdir=$(dirname "$widgetsdir")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
widgetheaders=$work/headers
for header in "$widgetsdir"/*; do
  name=${header##*/}
  shared=0
  for module in QtCore QtGui QtSvg QtConcurrent; do
    [ -e "$qtdir/$module/$name" ] && shared=1
  done
  [ "$shared" = 1 ] || echo "$name" >> "$widgetheaders"
done
[ "$(wc -l < "$widgetheaders")" -gt 100 ] || fail "too few QtWidgets headers in $widgetsdir"

windowfile() {
  case $1 in
    app/zarvoctl* | app/metafilehelpermain.cpp) return 1 ;;
    app/* | dialogs/* | widgets/* | giftool/tfgi.* | giftool/fitpicture.* | tests/* | bench/*) return 0 ;;
  esac
  return 1
}
checked=()
for file in "${files[@]}"; do
  windowfile "$file" || checked+=("$file")
done

# file:header for every <...> include of the files outside the window's folders
grep -HE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<' "${checked[@]}" \
  | sed -E 's/^([^:]+):[[:space:]]*#[[:space:]]*include[[:space:]]*<([^>]+)>.*/\1 \2/' \
  | awk -v list="$widgetheaders" '
      BEGIN { while ((getline name < list) > 0) widget[name] = 1 }
      {
        name = $2
        if (name == "QtWidgets" || sub(/^QtWidgets\//, "", name) || (name in widget))
          print "FAIL: " $1 " includes the widget header <" $2 ">"
      }' > "$work/found"
if [ -s "$work/found" ]; then
  cat "$work/found" >&2
  failed=1
fi

# --- the floors: file:header for every "..." include, then each header's floor against the file's
grep -HE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "${files[@]}" \
  | sed -E 's/^([^:]+):[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1 \2/' \
  | awk '
      function floor(path) {
        if (path ~ /^store\//) return 1
        if (path ~ /^imaging\//) return 2
        if (path ~ /^view\//) return 3
        if (path ~ /^(pictures|folders)\//) return 4
        if (path ~ /^giftool\/(tfgi|fitpicture)\./) return 7
        if (path ~ /^giftool\//) return 4
        if (path ~ /^widgets\//) return 5
        if (path ~ /^dialogs\//) return 6
        if (path ~ /^app\//) return 8
        return 0
      }
      function dir(path) { sub(/\/[^\/]*$/, "", path); return path }
      function stem(path) { sub(/\.[^.\/]*$/, "", path); return path }
      {
        from = floor($1); to = floor($2)
        if (from == 0 || to == 0) next
        if (to > from) print "FAIL: " $1 " includes " $2 ", a floor above its own"
        if (dir($1) == dir($2) && stem($1) != stem($2)) edge[stem($1) " " stem($2)] = 1
      }
      END {
        for (e in edge) {
          split(e, ab, " ")
          if ((ab[2] " " ab[1]) in edge && ab[1] < ab[2])
            print "FAIL: " ab[1] " and " ab[2] " include each other"
        }
      }' > "$work/floors"
if [ -s "$work/floors" ]; then
  cat "$work/floors" >&2
  failed=1
fi

# --- programs on the core alone
for program in "$@"; do
  [ -x "$program" ] || {
    fail "$program is not built"
    continue
  }
  # Read whole: with pipefail, `ldd | grep -q` fails whenever grep stops reading early.
  libs=$(ldd "$program")
  if grep -q 'libQt6Widgets' <<< "$libs"; then
    fail "$(basename "$program") is linked against libQt6Widgets"
  fi
  grep -q 'libQt6Core' <<< "$libs" || fail "ldd shows no Qt in $program"
done

[ "$failed" = 0 ] && echo "the layout holds: ${#files[@]} files"
exit "$failed"
