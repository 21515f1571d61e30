#!/usr/bin/env bash
# Renders the birth-moment screenshots: starts the program on a private X
# server with settings (and a 名簿) of its own (the defaults), enters a summer-time birth
# (1949-07-01 10:00 in Tokyo, 千代田区 picked in the birthplace box) and
# saves the main window (docs/main-window-summer.png), enters a birth minutes
# before 立春 (1990-02-04 11:00, same place) and saves it with its boundary
# warning
# (docs/main-window-boundary.png), then opens 詳細 and saves the 命式詳細
# window (docs/detail-window.png).
# Needs Xvfb, xdotool and ImageMagick.
# Usage: tools/shots/moment.sh [path/to/torvela] [scale]
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=${1:-build/release/ui/torvela}
scale=${2:-1}
display=:96

config=$(mktemp -d)
Xvfb $display -screen 0 2560x2048x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display QT_SCALE_FACTOR=$scale XDG_CONFIG_HOME=$config XDG_DATA_HOME=$config
sleep 1
"$exe" >/tmp/shot-moment.log 2>&1 &
app=$!
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$config"' EXIT

win=""
for _ in $(seq 50); do
  win=$(xdotool search --name '^Torvela（一般用）' 2>/dev/null | tail -n 1 || true)
  [ -n "$win" ] && xdotool getwindowgeometry "$win" | grep -q 'Geometry: [0-9][0-9][0-9]' && break
  sleep 0.2
done
eval "$(xdotool getwindowgeometry --shell "$win")"
wx=$X wy=$Y

# Clicks at a point given in unscaled window coordinates.
# A third argument clicks that many times (3 selects a text box's text).
at() { xdotool mousemove $((wx + $1 * scale)) $((wy + $2 * scale)) click --repeat "${3:-1}" 1; sleep 0.4; }
pick() { at "$1" "$2"; sleep 0.3; xdotool type --delay 80 "$3"; xdotool key Return; sleep 0.3; }
# The first item of a list: typing "1" in the day list would move on to "10".
pickfirst() { at "$1" "$2"; sleep 0.3; xdotool key Home Return; sleep 0.3; }
# Saves a window (by its id) as a PNG.
save() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root /tmp/shot-moment-root.png
  convert /tmp/shot-moment-root.png -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
  echo "saved $2 (${WIDTH}x${HEIGHT})"
}
# Year, month, day, hour and minute, as main-window.sh enters them.
birth() {
  at 60 50                                  # 年入力
  local picker
  picker=$(xdotool search --name '^年入力$' | tail -n 1)
  eval "$(xdotool getwindowgeometry --shell "$picker")"
  xdotool mousemove $((X + WIDTH - 140 * scale)) $((Y + 25 * scale)) click 1
  xdotool type --delay 80 "$1"
  xdotool mousemove $((X + WIDTH - 50 * scale)) $((Y + HEIGHT - 25 * scale)) click 1  # 決定
  sleep 0.5
  pick 148 50 "$2"
  if [ "$3" = 1 ]; then pickfirst 248 50; else pick 248 50 "$3"; fi
  pick 348 50 "$4"
  pick 448 50 "$5"
}

birth 1949 7 1 10 0
at 28 112                                   # 男
at 250 82                                   # 出生地
xdotool type --delay 80 chiyodaku
sleep 0.8
xdotool key Return                          # 東京都千代田区, the first suggestion
sleep 0.3
at 187 142                                  # 八字表示
xdotool mousemove 0 0
sleep 0.5
save "$win" docs/main-window-summer.png

birth 1990 2 4 11 0
at 187 142                                  # 八字表示
xdotool mousemove 0 0
sleep 0.5
save "$win" docs/main-window-boundary.png

at 365 142                                  # 詳細
sleep 0.8
detail=$(xdotool search --name '^命式詳細' | tail -n 1)
save "$detail" docs/detail-window.png
