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

. tools/shots/session.sh

start_program /tmp/map-shot.log
wait_main
sleep 0.5
xdotool windowfocus --sync "$win"
xdotool key ctrl+m
sleep 0.5

map=$(xdotool search --name '^日本地図$' | tail -n 1)
xdotool windowfocus --sync "$map"   # activation centres the window
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$map")"

# The picture sits inside the layout margin; (355, 259) is Tokyo.
margin=11
onmap() { xdotool mousemove $((X + (margin + $1) * scale)) $((Y + (margin + $2) * scale)); sleep 0.2; }
onmap 320 230
onmap 355 259
xdotool click 1
sleep 0.3
xdotool mousemove 0 0
sleep 0.3
save "$map" "$out"
