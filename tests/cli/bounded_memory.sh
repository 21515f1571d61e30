#!/usr/bin/env bash
# A million lines through torvela-cli --batch --jobs 2: every non-blank line
# answered, and the peak resident memory well under 100 MB, so the batch
# holds a bounded window of the input and not the whole of it.
#   bounded_memory.sh path/to/torvela-cli
set -uo pipefail
cli="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Eight lines repeated: six births, one blank, one that is not JSON.
pattern='{"year":1980,"month":3,"day":1,"hour":"0","minute":"10","sex":"女","jisahun":"-18","jisabyo":"30"}
{"year":1800,"month":1,"day":1,"hour":"?","minute":"?","sex":"男","jisahun":"0","jisabyo":"0"}
{"year":2080,"month":12,"day":31,"hour":"23","minute":"59","sex":"女","jisahun":"20","jisabyo":"5"}

{"year":1923,"month":9,"day":1,"hour":"11","minute":"58","sex":"男","jisahun":"-0","jisabyo":"28"}
not json
{"year":1964,"month":10,"day":10,"hour":"14","minute":"?","sex":"女","jisahun":"3","jisabyo":"0"}
{"year":2026,"month":2,"day":4,"hour":"5","minute":"27","sex":"男","jisahun":"-5","jisabyo":"59"}'

# The pipeline is what is measured: without the moment's search, which
# would make the run four times as long.
yes "$pattern" | head -n 1000000 |
  /usr/bin/time -v -o "$work/time" "$cli" --batch --jobs 2 --fields chart,reading \
    --now 2026-12-06T12:00 |
  wc -l >"$work/count"
status=("${PIPESTATUS[@]}")
lines=$(cat "$work/count")
rss=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$work/time")
echo "exit ${status[2]}, $lines output lines, peak RSS ${rss} kB"
# Status 1: the lines that are not JSON failed.
[ "${status[2]}" = 1 ] || { echo "FAIL: exit status ${status[2]}, expected 1"; cat "$work/time"; exit 1; }
[ "$lines" = 875000 ] || { echo "FAIL: $lines output lines, expected 875000"; exit 1; }
[ -n "$rss" ] && [ "$rss" -lt 100000 ] || { echo "FAIL: peak RSS ${rss} kB, limit 100000"; exit 1; }
echo "bounded memory: ok"
