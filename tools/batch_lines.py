#!/usr/bin/env python3
"""Writes N JSON Lines of births for torvela-cli --batch (default 100000).

Deterministic, spread over 1800-2080, every hour and minute, both sexes,
unknown hours and time differences of both signs. Throughput:

  tools/batch_lines.py 100000 > /tmp/births.jsonl
  time build-chart-rel/cli/torvela-cli --batch --now 2026-12-06T12:00 \
      < /tmp/births.jsonl > /dev/null
"""
import calendar
import json
import sys


def main():
    n = int(sys.argv[1]) if len(sys.argv) > 1 else 100000
    out = sys.stdout
    for i in range(n):
        year = 1800 + (i * 37) % 281
        month = 1 + (i * 5) % 12
        day = 1 + (i * 11) % calendar.monthrange(year, month)[1]
        hour = "?" if i % 23 == 0 else str(i % 24)
        minute = "?" if i % 29 == 0 else str((i * 7) % 60)
        line = {"year": year, "month": month, "day": day, "hour": hour, "minute": minute,
                "sex": "男" if i % 2 else "女", "jisahun": str(i % 97 - 48),
                "jisabyo": str((i * 13) % 60)}
        out.write(json.dumps(line, ensure_ascii=False) + "\n")


if __name__ == "__main__":
    main()
