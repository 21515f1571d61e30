# Shared by the screenshot scripts (sourced, not run): a private X server,
# the program started on it with settings and a 名簿 of its own, and the
# few moves every script makes. Needs Xvfb, xdotool and ImageMagick.
# Before sourcing, set: exe, scale, display.

# start_program LOG [ARG...]: the program on a fresh server; everything is
# taken down and the private folder removed when the script ends.
# $work is that folder (XDG config and data point into it).
start_program() {
  local log=$1; shift
  work=${work:-$(mktemp -d)}
  Xvfb "$display" -screen 0 2560x2048x24 >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=$display QT_SCALE_FACTOR=$scale XDG_CONFIG_HOME=$work XDG_DATA_HOME=$work
  sleep 1
  "$exe" "$@" >"$log" 2>&1 &
  app=$!
  trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
}

# wait_main: sets $win to the main window once it is mapped at full size
# (it follows the splash), and $wx $wy $ww $wh to its geometry.
wait_main() {
  win=""
  for _ in $(seq 50); do
    win=$(xdotool search --name '^Torvela（一般用）' 2>/dev/null | tail -n 1 || true)
    [ -n "$win" ] && xdotool getwindowgeometry "$win" | grep -q 'Geometry: [0-9][0-9][0-9]' && break
    sleep 0.2
  done
  eval "$(xdotool getwindowgeometry --shell "$win")"
  wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT
}

# save WINDOW OUT.png: the window as it is on the screen.
save() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  local root
  root=$(mktemp --suffix=.png)
  import -window root "$root"
  convert "$root" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
  rm -f "$root"
  echo "saved $2 (${WIDTH}x${HEIGHT})"
}

# Clicks at a point given in unscaled main-window coordinates.
# A third argument clicks that many times (3 selects a text box's text).
at() { xdotool mousemove $((wx + $1 * scale)) $((wy + $2 * scale)) click --repeat "${3:-1}" 1; sleep 0.4; }
pick() { at "$1" "$2"; sleep 0.3; xdotool type --delay 80 "$3"; xdotool key Return; sleep 0.3; }
# The first item of a list: typing "1" in the day list would move on to "10".
pickfirst() { at "$1" "$2"; sleep 0.3; xdotool key Home Return; sleep 0.3; }

# birth YEAR MONTH DAY HOUR MINUTE [picker-shot.png]: entered as a user
# would, the year through the 年入力 picker (saved first when asked).
birth() {
  at 60 50                                  # 年入力
  local picker
  picker=$(xdotool search --name '^年入力$' | tail -n 1)
  eval "$(xdotool getwindowgeometry --shell "$picker")"
  xdotool mousemove $((X + WIDTH - 140 * scale)) $((Y + 25 * scale)) click 1  # first year
  xdotool type --delay 80 "$1"
  if [ -n "${6:-}" ]; then sleep 0.5; save "$picker" "$6"; fi
  eval "$(xdotool getwindowgeometry --shell "$picker")"
  xdotool mousemove $((X + WIDTH - 50 * scale)) $((Y + HEIGHT - 25 * scale)) click 1  # 決定
  sleep 0.5
  pick 148 50 "$2"
  if [ "$3" = 1 ]; then pickfirst 248 50; else pick 248 50 "$3"; fi
  pick 348 50 "$4"
  pick 448 50 "$5"
}

# show_chart: presses 八字表示 and moves the pointer out of the way.
show_chart() {
  at 187 142                                # 八字表示
  xdotool mousemove 0 0
  sleep 0.5
}
