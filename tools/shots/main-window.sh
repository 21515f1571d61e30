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
. tools/shots/session.sh

start_program /tmp/shot.log
if [ "$tour" = tour ]; then
  # The splash is frameless and centred on the 2560x2048 screen.
  sleep 1
  sw=$((325 * scale)) sh=$((227 * scale))
  import -window root /tmp/splash-root.png
  convert /tmp/splash-root.png -crop "${sw}x${sh}+$(((2560 - sw) / 2))+$(((2048 - sh) / 2))" +repage docs/splash.png
  echo "saved docs/splash.png"
fi
wait_main

if [ "$tour" = tour ]; then birth 1975 3 5 14 30 docs/year-picker.png; else birth 1975 3 5 14 30; fi
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
show_chart
save "$win" "$out"

if [ "$tour" = tour ]; then
  at 277 142                                  # POP
  sleep 0.8
  save "$(xdotool search --name '^TorvelaPopUp$' | tail -n 1)" docs/popup.png

  # Escape puts the popup away; another day makes the chart out of date.
  xdotool key Escape
  sleep 0.3
  pick 248 50 6
  xdotool mousemove 0 0
  sleep 0.5
  save "$win" docs/main-window-stale.png
fi
