#!/usr/bin/env bash
# Renders ${out}: starts the program on a private X server with settings (and
# a 名簿) of its own (the defaults), enters a birth with the mouse and keyboard as a
# user would (the birthplace looked up by its rōmaji), shows the chart and
# saves the main window. With a
# fourth argument "tour" it also saves the splash (docs/splash.png), the year
# picker (docs/year-picker.png), the birthplace suggestions
# (docs/main-window-place.png), after pressing POP the popup
# (docs/popup.png), and after another day is picked the chart marked out of
# date (docs/main-window-stale.png).
# Needs Xvfb, xdotool and ImageMagick.
# Usage: tools/shots/main-window.sh [path/to/torvela] [scale] [output.png] [tour]
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=${1:-build/release/ui/torvela}
scale=${2:-1}
out=${3:-docs/main-window.png}
tour=${4:-}
display=:97

config=$(mktemp -d)
Xvfb $display -screen 0 2560x2048x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display QT_SCALE_FACTOR=$scale XDG_CONFIG_HOME=$config XDG_DATA_HOME=$config
sleep 1
"$exe" >/tmp/shot.log 2>&1 &
app=$!
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$config"' EXIT

if [ "$tour" = tour ]; then
  # The splash is frameless and centred on the 2560x2048 screen.
  sleep 1
  sw=$((325 * scale)) sh=$((227 * scale))
  import -window root /tmp/splash-root.png
  convert /tmp/splash-root.png -crop "${sw}x${sh}+$(((2560 - sw) / 2))+$(((2048 - sh) / 2))" +repage docs/splash.png
  echo "saved docs/splash.png"
fi

win=""
for _ in $(seq 50); do
  win=$(xdotool search --name '^Torvela（一般用）' 2>/dev/null | tail -n 1 || true)
  [ -n "$win" ] && xdotool getwindowgeometry "$win" | grep -q 'Geometry: [0-9][0-9][0-9]' && break
  sleep 0.2
done
eval "$(xdotool getwindowgeometry --shell "$win")"
wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT

# Clicks at a point given in unscaled window coordinates.
# A third argument clicks that many times (3 selects a text box's text).
at() { xdotool mousemove $((wx + $1 * scale)) $((wy + $2 * scale)) click --repeat "${3:-1}" 1; sleep 0.4; }
pick() { at "$1" "$2"; sleep 0.3; xdotool type --delay 80 "$3"; xdotool key Return; sleep 0.3; }

at 60 50                                    # 年入力
picker=$(xdotool search --name '^年入力$' | tail -n 1)
eval "$(xdotool getwindowgeometry --shell "$picker")"
xdotool mousemove $((X + WIDTH - 140 * scale)) $((Y + 25 * scale)) click 1  # first year
xdotool type --delay 80 1975
if [ "$tour" = tour ]; then
  sleep 0.5
  import -window root /tmp/picker-root.png
  convert /tmp/picker-root.png -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage docs/year-picker.png
  echo "saved docs/year-picker.png (${WIDTH}x${HEIGHT})"
fi
xdotool mousemove $((X + WIDTH - 50 * scale)) $((Y + HEIGHT - 25 * scale)) click 1  # 決定
sleep 0.5
pick 148 50 3
pick 248 50 5
pick 348 50 14
pick 448 50 30
at 28 112                                   # 男
at 250 82                                   # 出生地
xdotool type --delay 80 fukuokashi
sleep 0.8
if [ "$tour" = tour ]; then
  # The suggestions are a window of their own and may reach past the main
  # window: both go onto a plain background.
  eval "$(xdotool getwindowgeometry --shell "$win")"
  mx=$X my=$Y mw=$WIDTH mh=$HEIGHT
  list=""
  for id in $(xdotool search --onlyvisible --class torvela); do
    [ "$id" = "$win" ] && continue
    eval "$(xdotool getwindowgeometry --shell "$id")"
    [ "$WIDTH" -gt 50 ] && [ "$X" -gt "$mx" ] && [ "$Y" -gt "$my" ] && list=$id && break
  done
  eval "$(xdotool getwindowgeometry --shell "$list")"
  cw=$(( X + WIDTH - mx > mw ? X + WIDTH - mx + 12 * scale : mw ))
  ch=$(( Y + HEIGHT - my > mh ? Y + HEIGHT - my + 12 * scale : mh ))
  import -window root /tmp/place-root.png
  convert -size "${cw}x${ch}" xc:'#e6e8eb' \
    \( /tmp/place-root.png -crop "${mw}x${mh}+${mx}+${my}" +repage \) -geometry +0+0 -composite \
    \( /tmp/place-root.png -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \) \
    -geometry "+$((X - mx))+$((Y - my))" -composite docs/main-window-place.png
  echo "saved docs/main-window-place.png (${cw}x${ch})"
fi
xdotool key Return                          # 福岡市, the first suggestion
sleep 0.3
at 187 142                                  # 八字表示
xdotool mousemove 0 0
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"
import -window root /tmp/main-window-root.png
convert /tmp/main-window-root.png -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage ${out}
echo "saved ${out} (${WIDTH}x${HEIGHT})"

if [ "$tour" = tour ]; then
  at 277 142                                  # POP
  sleep 0.8
  pop=$(xdotool search --name '^TorvelaPopUp$' | tail -n 1)
  eval "$(xdotool getwindowgeometry --shell "$pop")"
  import -window root /tmp/popup-root.png
  convert /tmp/popup-root.png -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage docs/popup.png
  echo "saved docs/popup.png (${WIDTH}x${HEIGHT})"

  # Escape puts the popup away; another day makes the chart out of date.
  xdotool key Escape
  sleep 0.3
  pick 248 50 6
  xdotool mousemove 0 0
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$win")"
  import -window root /tmp/stale-root.png
  convert /tmp/stale-root.png -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage docs/main-window-stale.png
  echo "saved docs/main-window-stale.png (${WIDTH}x${HEIGHT})"
fi
