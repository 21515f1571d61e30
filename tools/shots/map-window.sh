#!/usr/bin/env bash
# Renders docs/map-window.png: starts the program on a private X server, opens
# the map window with Ctrl+M, holds a point on Tokyo and saves the window.
# Needs Xvfb, xdotool and ImageMagick.
# Usage: tools/shots/map-window.sh [path/to/torvela] [scale] [output.png]
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=${1:-build/release/ui/torvela}
scale=${2:-1}
out=${3:-docs/map-window.png}
display=:96

# A 名簿 of its own, never the user's.
config=$(mktemp -d)
Xvfb $display -screen 0 2560x2048x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display QT_SCALE_FACTOR=$scale XDG_CONFIG_HOME=$config XDG_DATA_HOME=$config
sleep 1
"$exe" >/tmp/map-shot.log 2>&1 &
app=$!
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$config"' EXIT

# The main window follows the three-second splash.
main=""
for _ in $(seq 50); do
  main=$(xdotool search --name '^Torvela（一般用）' 2>/dev/null | tail -n 1 || true)
  [ -n "$main" ] && break
  sleep 0.2
done
sleep 0.5
xdotool windowfocus --sync "$main"
xdotool key ctrl+m
sleep 0.5

map=$(xdotool search --name '^日本地図$' | tail -n 1)
xdotool windowfocus --sync "$map"   # activation centres the window
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$map")"

# The picture sits inside the layout margin; (355, 259) is Tokyo.
margin=11
at() { xdotool mousemove $((X + (margin + $1) * scale)) $((Y + (margin + $2) * scale)); sleep 0.2; }
at 320 230
at 355 259
xdotool click 1
sleep 0.3
xdotool mousemove 0 0
sleep 0.3
import -window root /tmp/map-window-root.png
convert /tmp/map-window-root.png -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "saved $out (${WIDTH}x${HEIGHT})"
