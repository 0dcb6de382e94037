#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Takes the guide's screenshots (doc/guide/images/*.png) from the real program: starts a
# throw-away desktop (../shared/tools/desktop), makes a demo store with zarvoctl and the sample
# pictures, runs Zarvo on it and drives it with xdotool. Needs scripts/install-deps.sh --shots
# and a built tree. Look at every picture before committing it.
#   doc/guide/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
src=$PWD
build=$(realpath "${1:-build}")
desktop=${ZARVO_DESKTOP:-$src/../shared/tools/desktop}
out=$src/doc/guide/images
display=${ZARVO_SHOTS_DISPLAY:-:57}
work=$(mktemp -d /tmp/zarvo-guide.XXXXXX)
zarvo_pid=

# The desktop tool keeps its process list in one file; keep another desktop's list intact.
state=/tmp/zarvo-desktop.pids
[ -f "$state" ] && cp "$state" "$work/other-desktop.pids"
cleanup() {
  [ -n "$zarvo_pid" ] && kill "$zarvo_pid" 2> /dev/null
  "$desktop" stop
  [ -f "$work/other-desktop.pids" ] && cp "$work/other-desktop.pids" "$state"
  rm -rf "$work"
}
trap cleanup EXIT
"$desktop" start "$display" 1024x720 > /dev/null
export DISPLAY=$display

# The store lives in 图库/, the pictures it was made from in 图片/ (the dialogs show that).
mkdir "$work/图库" "$work/图片" "$work/shots"
cp resources/samples/* "$work/图片/"
ctl=$build/zarvoctl
store=$work/图库/data.mdb
$ctl init "$store" > /dev/null
$ctl add "$store" 风景 "$work"/图片/*.jpg > /dev/null
$ctl add "$store" 图标与动画 "$work"/图片/*.png "$work"/图片/*.gif "$work"/图片/*.bmp \
  "$work"/图片/*.ico > /dev/null

key() {
  xdotool key --clearmodifiers "$@"
  sleep 1
}
# origin WINDOW: sets X, Y, W and H to the window's place on the screen (xdotool's geometry is
# off by the window manager's frame)
origin() {
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ { print "X=" $4 }
    /Absolute upper-left Y/ { print "Y=" $4 } /Width:/ { print "W=" $2 } /Height:/ { print "H=" $2 }')"
}
# click DX DY [BUTTON]: a click at that point of the main window; click_in WINDOW DX DY too
click() {
  click_in "$main" "$@"
}
click_in() {
  origin "$1"
  shift
  xdotool mousemove $((X + $1)) $((Y + $2))
  sleep 0.5
  xdotool click "${3:-1}"
  sleep 1
}
# shot NAME [SCALE]: the active window, without the desktop around it, in few colours
shot() {
  sleep 1
  origin "$(xdotool getactivewindow)"
  "$desktop" shot "$work/shots/screen.png" > /dev/null
  convert "$work/shots/screen.png" -crop "${W}x${H}+${X}+${Y}" +repage \
    -resize "${2:-100%}" "$work/shots/$1.png"
  pngquant --force --quality 60-90 --output "$out/$1.png" "$work/shots/$1.png"
  echo "$out/$1.png: ${W}x${H}"
}

mkdir -p "$out"
(cd "$work/图库" && exec env QT_QPA_PLATFORM=xcb "$build/zarvo") > "$work/zarvo.log" 2>&1 &
zarvo_pid=$!
xdotool search --sync --onlyvisible --name '^Zarvo$' > /dev/null
sleep 2
main=$(xdotool search --onlyvisible --name '^Zarvo$' | head -1)
xdotool windowactivate --sync "$main"

# Browsing: the first folder opened from the tree, its first picture selected and pointed at.
click 88 ${ZARVO_SHOTS_NODE_Y:-118}
sleep 2
click 380 230
xdotool mousemove_relative 4 6
sleep 2
shot browse

# Viewing the selected picture at full size.
key Return
sleep 1
shot view 50%
key alt+F4
xdotool windowactivate --sync "$main"

# Saving it, from the picture's context menu.
click 380 230 3
key s
shot save
key Escape

# Adding pictures: the open dialog with its preview.
key alt+f a
xdotool type --delay 80 "$work/图片/"
key Return
sleep 1
# the first click may only close the name completion
click_in "$(xdotool getactivewindow)" 150 106
click_in "$(xdotool getactivewindow)" 150 106
sleep 1
shot add
# the first Escape may only close the name completion
key Escape
key Escape

# Exporting the folder.
key alt+c d
shot export
key Escape

# Adding a folder.
xdotool windowactivate --sync "$main"
key alt+o l
xdotool type --delay 80 "家人"
key alt+l
shot folders
key Escape

# Searching pictures by name.
xdotool windowactivate --sync "$main"
key ctrl+f
xdotool type --delay 80 "湖畔"
key Return
shot search
key Escape

# The GIF tool with the sample animation.
xdotool windowactivate --sync "$main"
key alt+t g
key alt+f o
xdotool type --delay 80 "$work/图片/旋转.gif"
sleep 1
key Return
# a Return that only closed the name completion leaves the dialog open
[ "$(xdotool getactivewindow getwindowname)" = "Gif文件分解工具" ] || key Return
sleep 2
click_in "$(xdotool getactivewindow)" 515 130
shot gif
key alt+f x
