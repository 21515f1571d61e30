#!/usr/bin/env bash
# Renders the 名簿 pictures from the real programs: torvela-cli keeps a dozen
# people (their birthplaces looked up as the command line does) in a 名簿 of
# the script's own, their readings and times are added through a CSV import,
# then the window program opens that 名簿 (--db) on a private X server.
# Ctrl+O shows the 名簿 window (docs/people-window.png); Enter opens the
# first person, and ファイル → PDFに保存… writes the page of that chart, which
# pdftoppm renders as docs/printed-page.png.
# Needs Xvfb, xdotool, ImageMagick and poppler-utils.
# Usage: tools/shots/people.sh [path/to/torvela] [path/to/torvela-cli]
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=${1:-build/release/ui/torvela}
cli=${2:-build/release/cli/torvela-cli}
scale=1
display=:95
. tools/shots/session.sh

work=$(mktemp -d)
db=$work/torvela.sqlite
# name, reading, birth date, time, sex, birthplace (or a time difference)
people=(
  "山田 花子|やまだ はなこ|1947-06-12|7:?|女|札幌市中央区"
  "山田 太郎|やまだ たろう|1940-01-01|0:00|男|千代田区"
  "佐藤 一|さとう はじめ|1954-11-23|14:26|男|-18"
  "鈴木 美咲|すずき みさき|1961-04-06|?:?|女|千代田区"
  "高橋 陽菜|たかはし ひな|1975-02-28|11:?|女|名古屋市中区"
  "田中 翔太|たなか しょうた|1982-07-11|18:18|男|千代田区"
  "中村 大輝|なかむら だいき|2003-10-16|15:?|男|福岡市中央区"
  "小林 蓮|こばやし れん|1940-03-27|22:10|女|札幌市中央区"
  "加藤 一郎|かとう いちろう|1947-08-10|5:23|男|大阪市北区"
  "渡辺 結衣|わたなべ ゆい|1996-05-05|?:?|女|那覇市"
  "山本 さくら|やまもと さくら|1989-12-22|1:31|女|仙台市青葉区"
  "ヤマモト ケン||1968-09-17|4:52|男|0"
)
for p in "${people[@]}"; do
  IFS='|' read -r name reading date time sex where <<<"$p"
  if [[ $where =~ ^-?[0-9]+$ ]]; then place=(--jisa "$where"); else place=(--place "$where"); fi
  "$cli" --db "$work/plain.sqlite" --save "$name" --date "$date" --time "$time" --sex "$sex" "${place[@]}" >/dev/null
done
"$cli" --db "$work/plain.sqlite" --export "$work/plain.csv" >/dev/null
# Readings from the list above; the update times spread over a few days.
python3 - "$work/plain.csv" "$work/people.csv" "${people[@]}" <<'EOF'
import csv, io, sys
src, dst, rows = sys.argv[1], sys.argv[2], sys.argv[3:]
readings = {r.split('|')[0]: r.split('|')[1] for r in rows}
lines = list(csv.reader(io.open(src, encoding='utf-8-sig', newline='')))
for i, line in enumerate(lines[1:]):
    line[1] = readings[line[0]]
    line[16] = line[17] = '2026-11-%02dT%02d:00:00Z' % (20 + i % 4, (i * 7) % 24)
with io.open(dst, 'w', encoding='utf-8-sig', newline='') as f:
    csv.writer(f, lineterminator='\r\n').writerows(lines)
EOF
"$cli" --db "$db" --import "$work/people.csv" >/dev/null

start_program /tmp/shot-people.log --db "$db"
wait_main
sleep 0.5

xdotool windowfocus --sync "$win"
xdotool key ctrl+o
sleep 1
list=$(xdotool search --name '^名簿$' | tail -n 1)
xdotool mousemove 0 0
save "$list" docs/people-window.png

# The first row (sorted by name) opens; then ファイル → PDFに保存….
xdotool windowfocus --sync "$list"
xdotool key Return
sleep 1
xdotool windowfocus --sync "$win"
xdotool key alt+f
sleep 0.5
xdotool key Down Down Down Down Down Down Return   # 名簿に保存 … 印刷…, PDFに保存…
sleep 1
xdotool key ctrl+a
xdotool type --delay 20 "$work/page.pdf"
xdotool key Return
for _ in $(seq 50); do [ -s "$work/page.pdf" ] && break; sleep 0.2; done
pdftoppm -r 80 -png -singlefile "$work/page.pdf" "$work/page"
cp "$work/page.png" docs/printed-page.png
echo "saved docs/printed-page.png ($(identify -format '%wx%h' docs/printed-page.png))"
