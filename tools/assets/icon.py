"""Application icon: four pillars (stem above branch) in a ring on an indigo tile.

torvela.svg is the master, drawn on a 256 grid in steps of 8 so that the
pillars' edges fall on pixels at 32, 64, 128 and 256 px. 48 px gets the same
drawing with the pillars refitted to its grid; at 16 and 24 px a one-pixel
ring only blurs, so those sizes show the tile and the pillars alone.
"""

import os

import common

SIZES = (16, 24, 32, 48, 64, 128, 256)

GROUND_TOP, GROUND_BOTTOM = "#2e3a7c", "#141a3c"
GOLD = "#e0b95e"
CREAM = "#f5ecd4"
RING = "#c9a85c"


def _tile(size, radius):
    return (f'<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{GROUND_TOP}"/>'
            f'<stop offset="1" stop-color="{GROUND_BOTTOM}"/></linearGradient></defs>'
            f'<rect width="{size}" height="{size}" rx="{radius}" fill="url(#g)"/>')


def _pillars(xs, width, stem, branch):
    """Four pillars: xs their left edges, stem and branch (top, bottom) spans."""
    out = []
    for x in xs:
        out.append(f'<rect x="{x}" y="{stem[0]}" width="{width}" height="{stem[1] - stem[0]}" fill="{GOLD}"/>')
        out.append(f'<rect x="{x}" y="{branch[0]}" width="{width}" height="{branch[1] - branch[0]}" fill="{CREAM}"/>')
    return "".join(out)


# Pillar left edges, width, stem span and branch span on the 256 grid.
MASTER_PILLARS = ((56, 96, 136, 176), 24, (64, 120), (136, 192))
# The same in pixels for sizes whose grid the master does not fit.
FITTED_PILLARS = {
    16: ((2, 5, 9, 12), 2, (3, 7), (8, 13)),
    24: ((3, 8, 13, 18), 3, (4, 11), (13, 20)),
    48: ((11, 18, 25, 32), 5, (12, 23), (25, 36)),
}


def _svg(size, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
            f'viewBox="0 0 {size} {size}">' + body + "</svg>\n")


def _ring_and_frame():
    return (f'<rect x="8" y="8" width="240" height="240" rx="42" fill="none" stroke="{RING}" '
            f'stroke-opacity="0.35" stroke-width="4"/>'
            f'<circle cx="128" cy="128" r="100" fill="none" stroke="{RING}" stroke-width="8"/>')


def master_svg():
    return _svg(256, _tile(256, 48) + _ring_and_frame() + _pillars(*MASTER_PILLARS))


def fitted_svg(size):
    """The icon for one of the FITTED_PILLARS sizes, drawn in that size's pixels."""
    pillars = _pillars(*FITTED_PILLARS[size])
    if size < 32:
        return _svg(size, _tile(size, size / 5.33) + pillars)
    # Ring and frame scaled from the master, pillars on this size's grid.
    k = size / 256
    return _svg(size, _tile(size, 48 * k) + f'<g transform="scale({k})">' + _ring_and_frame()
                + "</g>" + pillars)


def make():
    master = master_svg()
    with open(os.path.join(common.IMAGES, "torvela.svg"), "w", encoding="utf-8") as f:
        f.write(master)
    for size in SIZES:
        text = fitted_svg(size) if size in FITTED_PILLARS else master
        rows = common.render_svg(text, size, size)
        common.write_png(os.path.join(common.IMAGES, f"torvela-{size}.png"), rows, 4)


if __name__ == "__main__":
    common.require_rsvg()
    make()
