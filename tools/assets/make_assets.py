#!/usr/bin/env python3
"""Regenerates the program's pictures and sound into ui/images and ui/sounds.

    python3 tools/assets/make_assets.py [splash] [decorations] [icon] [chime]

With no arguments every asset is made. Output is byte-for-byte reproducible
on a machine with the same librsvg and fonts.
"""

import sys

sys.dont_write_bytecode = True

import chime  # noqa: E402
import common  # noqa: E402
import decorations  # noqa: E402
import icon  # noqa: E402
import splash  # noqa: E402

MAKERS = {"splash": splash.make, "decorations": decorations.make,
          "icon": icon.make, "chime": chime.make}


def main(argv):
    names = argv or list(MAKERS)
    unknown = [n for n in names if n not in MAKERS]
    if unknown:
        raise SystemExit(f"unknown asset {', '.join(unknown)}; choose from {', '.join(MAKERS)}")
    if any(n != "chime" for n in names):
        common.require_rsvg()
    for n in names:
        MAKERS[n]()
        print(f"made {n}")


if __name__ == "__main__":
    main(sys.argv[1:])
