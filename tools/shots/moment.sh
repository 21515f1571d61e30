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
. tools/shots/session.sh

start_program /tmp/shot-moment.log
wait_main

birth 1949 7 1 10 0
at 28 112                                   # 男
at 250 82                                   # 出生地
xdotool type --delay 80 chiyodaku
sleep 0.8
xdotool key Return                          # 東京都千代田区, the first suggestion
sleep 0.3
show_chart
save "$win" docs/main-window-summer.png

birth 1990 2 4 11 0
show_chart
save "$win" docs/main-window-boundary.png

at 365 142                                  # 詳細
sleep 0.8
detail=$(xdotool search --name '^命式詳細' | tail -n 1)
save "$detail" docs/detail-window.png
