#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# Takes the guide's screenshots from the real program, the Chinese set (doc/guide/images/*.png,
# ZARVO_LANGUAGE=zh) and the English one (doc/guide/en/images/*.png, ZARVO_LANGUAGE=en): starts
# a throw-away desktop (../shared/tools/desktop), makes a demo store with zarvoctl and the
# sample pictures, runs Zarvo on it and drives it with xdotool. Needs
# scripts/install-deps.sh --shots and a built tree. Look at every picture before committing it.
#   doc/guide/screenshots.sh [BUILD_DIR [zh|en]...]
# With ZARVO_SHOTS_CHECK=DIR it also takes the whole screen with each menu, the context menus,
# the rename and about dialogs, a popup and the exit question into DIR (LANGUAGE-NAME.png), to
# see that no text is cut off; ZARVO_SHOTS_SIZE sets the screen (1024x720, as the guide's).
set -euo pipefail
cd "$(dirname "$0")/../.."
src=$PWD
build=$(realpath "${1:-build}")
shift || true
languages=(zh en)
[ $# -gt 0 ] && languages=("$@")
desktop=${ZARVO_DESKTOP:-$src/../shared/tools/desktop}
check=${ZARVO_SHOTS_CHECK:-}
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
"$desktop" start "$display" "${ZARVO_SHOTS_SIZE:-1024x720}" > /dev/null
export DISPLAY=$display
[ -n "$check" ] && mkdir -p "$check"

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

# look NAME: with ZARVO_SHOTS_CHECK, the whole screen as it is now, for checking only
look() {
  [ -n "$check" ] || return 0
  sleep 1
  "$desktop" shot "$check/$language-$1.png" > /dev/null
  echo "$check/$language-$1.png"
}

# take LANGUAGE: one set of screenshots, of Zarvo in that language on a store of its own.
take() {
  language=$1
  # The store lives in 图库/ (store/), the pictures it was made from in 图片/ (pictures/): the
  # dialogs show that. The English set names the sample pictures and folders in English.
  case $language in
  zh)
    out=$src/doc/guide/images
    stores=图库 pictures=图片 scenery=风景 icons=图标与动画 family=家人 lakeside=湖畔 spinner=旋转
    export_keys="alt+c d" rename_keys="alt+f e" add_folder_keys="alt+o l"
    menus="f o c t a" gif_title=Gif文件分解工具
    ;;
  en)
    out=$src/doc/guide/en/images
    stores=store pictures=pictures scenery=Landscapes icons=Icons_and_GIFs family=Family
    lakeside=lakeside spinner=spinner
    export_keys="alt+p e" rename_keys="alt+f r" add_folder_keys="alt+o a"
    menus="f o p t a" gif_title="GIF Frame Splitter"
    ;;
  *)
    echo "screenshots.sh: no language $language (zh, en)" >&2
    exit 2
    ;;
  esac
  local home=$work/$language
  mkdir -p "$home/$stores" "$home/$pictures" "$work/shots" "$out"
  cp resources/samples/* "$home/$pictures/"
  if [ "$language" = en ]; then
    (cd "$home/$pictures" && mv 图标.ico icon.ico && mv 旋转.gif spinner.gif \
      && mv 晚霞.jpg sunset.jpg && mv 渐变.bmp gradient.bmp && mv 湖畔.jpg lakeside.jpg \
      && mv 花瓣.jpg petals.jpg && mv 透明圆.png circle.png)
  fi
  local ctl=$build/zarvoctl store=$home/$stores/data.mdb
  $ctl init "$store" > /dev/null
  $ctl add "$store" "$scenery" "$home/$pictures"/*.jpg > /dev/null
  $ctl add "$store" "$icons" "$home/$pictures"/*.png "$home/$pictures"/*.gif \
    "$home/$pictures"/*.bmp "$home/$pictures"/*.ico > /dev/null

  (cd "$home/$stores" && exec env QT_QPA_PLATFORM=xcb ZARVO_LANGUAGE="$language" "$build/zarvo") \
    > "$home/zarvo.log" 2>&1 &
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
  look main

  # The main window's menus, one after the other.
  if [ -n "$check" ]; then
    for menu in $menus; do
      key alt+$menu
      look menu-$menu
      key Escape
    done
    # the menus leave the focus on the toolbar
    click 380 230
  fi

  # Viewing the selected picture at full size.
  key Return
  sleep 1
  shot view 50%
  if [ -n "$check" ]; then
    click_in "$(xdotool getactivewindow)" 60 60 3
    look viewer-menu
    key Escape
  fi
  key alt+F4
  xdotool windowactivate --sync "$main"

  # Saving it, from the picture's context menu.
  click 380 230 3
  look context-menu
  key s
  shot save
  key Escape

  # Renaming it.
  if [ -n "$check" ]; then
    xdotool windowactivate --sync "$main"
    key $rename_keys
    look rename
    key Escape
  fi

  # Adding pictures: the open dialog with its preview.
  xdotool windowactivate --sync "$main"
  key alt+f a
  xdotool type --delay 80 "$home/$pictures/"
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
  xdotool windowactivate --sync "$main"
  key $export_keys
  shot export
  key Escape

  # Adding a folder; checking, it is added and its popup seen.
  xdotool windowactivate --sync "$main"
  key $add_folder_keys
  xdotool type --delay 80 "$family"
  shot folders
  if [ -n "$check" ]; then
    key Return
    sleep 2
    look popup
  else
    key Escape
  fi

  # Searching pictures by name.
  xdotool windowactivate --sync "$main"
  key ctrl+f
  xdotool type --delay 80 "$lakeside"
  key Return
  shot search
  key Escape

  # The about box.
  if [ -n "$check" ]; then
    xdotool windowactivate --sync "$main"
    key alt+a u
    look about
    key Escape
  fi

  # The GIF tool with the sample animation.
  xdotool windowactivate --sync "$main"
  key alt+t g
  key alt+f o
  xdotool type --delay 80 "$home/$pictures/$spinner.gif"
  sleep 1
  key Return
  # a Return that only closed the name completion leaves the dialog open
  [ "$(xdotool getactivewindow getwindowname)" = "$gif_title" ] || key Return
  sleep 2
  click_in "$(xdotool getactivewindow)" 515 130
  shot gif
  if [ -n "$check" ]; then
    click_in "$(xdotool getactivewindow)" 770 560 3
    look gif-menu
    key Escape
  fi
  key alt+f x

  # Leaving: the question; Zarvo then checks the store and ends.
  if [ -n "$check" ]; then
    xdotool windowactivate --sync "$main"
    # the toolbar's last button
    click 788 75
    look exit-question
    key alt+y
    for _ in $(seq 30); do
      kill -0 "$zarvo_pid" 2> /dev/null || break
      sleep 1
    done
  fi
  kill "$zarvo_pid" 2> /dev/null || true
  wait "$zarvo_pid" 2> /dev/null || true
  zarvo_pid=
}

for language in "${languages[@]}"; do
  take "$language"
done
