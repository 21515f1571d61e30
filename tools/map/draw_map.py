#!/usr/bin/env python3
"""Draws the birthplace map of Japan as an SVG in the window's pixel frame.

The window maps pixel (x, y) to lon = LON0 + STEP*x, lat = LAT0 - STEP*y with
pixel i's centre at x = i, so a point lands at SVG unit (x + 0.5, y + 0.5) of
a 500-unit view box; rendering the SVG at 500 or 1000 px then gives both
pictures of the same frame.

Inputs are the raw dumps of `gmt coast` (land, lakes, national borders) and
two Natural Earth TopoJSON files (prefectures; countries, to tell Japan's land
from its neighbours'). Standard library only; the output is deterministic.
"""

import argparse
import json
import math
import sys

LON0 = 121.39834   # longitude at x = 0, degrees east
LAT0 = 49.00194    # latitude at y = 0, degrees north
STEP = 0.0514679   # degrees per pixel on both axes
SIZE = 500         # frame size in pixels
MARGIN = 4.0       # pixels of data kept beyond the frame, so cut edges and
                   # their strokes never show inside the picture

SEA = "#d3e7f2"
JAPAN = "#f6eac6"
FOREIGN = "#e1e1de"
COAST = "#7fa3bb"
COAST_FOREIGN = "#a3b2ba"
PREFECTURE = "#c7ad80"
NATION = "#a3a39c"
COAST_WIDTH = "0.8"   # view-box units; half of it shows

JAPAN_ID = "392"

# Japan's own maps colour these islands as Japan's, although Natural Earth
# (and GSHHG's neighbours) count them elsewhere: boxes in lon/lat, degrees.
JAPAN_BOXES = [
    (145.30, 149.50, 43.20, 45.70),   # Kunashiri, Etorofu, Shikotan, Habomai
    (123.30, 123.80, 25.60, 26.00),   # Senkaku islands
]


def region():
    """Frame grown by MARGIN, as (west, east, south, north) in degrees,
    rounded outward to 1e-4 degrees so gmt gets it exactly as printed."""
    west = LON0 - (0.5 + MARGIN) * STEP
    east = LON0 + (SIZE - 0.5 + MARGIN) * STEP
    north = LAT0 + (0.5 + MARGIN) * STEP
    south = LAT0 - (SIZE - 0.5 + MARGIN) * STEP
    return (math.floor(west * 1e4) / 1e4, math.ceil(east * 1e4) / 1e4,
            math.floor(south * 1e4) / 1e4, math.ceil(north * 1e4) / 1e4)


def to_svg(lon, lat):
    """lon/lat in degrees -> SVG units of the 500-unit view box."""
    return (lon - LON0) / STEP + 0.5, (LAT0 - lat) / STEP + 0.5


# --- GSHHG pieces -----------------------------------------------------------

def read_gmt(path):
    """Pieces of a `gmt coast -M` dump as lists of (lon, lat) floats; each
    piece carries its level (1 land, 2 lake, 3 island in lake, 4 pond; 1 for
    borders)."""
    pieces = []
    cur = None
    with open(path) as f:
        for line in f:
            if line.startswith(">"):
                level = 1
                if "Level" in line:
                    level = int(line.rsplit("Level", 1)[1].split()[0])
                cur = (level, [])
                pieces.append(cur)
            elif line.strip():
                a, b = line.split()[:2]
                cur[1].append((float(a), float(b)))
    return [p for p in pieces if len(p[1]) >= 2]


def chain(pieces):
    """Joins pieces cut at GSHHG's bins: a piece continues with the one whose
    first point is its last. Returns (closed rings, open chains); open chains
    begin and end on the region's edge."""
    closed = []
    starts = {}
    for i, (_, pts) in enumerate(pieces):
        if pts[0] == pts[-1]:
            closed.append(list(pts))
        else:
            starts[pts[0]] = i
    ends = {pieces[i][1][-1] for i in starts.values()}
    used = set()
    chains = []
    # Heads first (no piece leads into them), then what is left is cyclic.
    order = [i for p, i in starts.items() if p not in ends]
    order += [i for p, i in starts.items() if p in ends]
    for i in order:
        if i in used:
            continue
        pts = []
        j = i
        while j is not None and j not in used:
            used.add(j)
            seg = pieces[j][1]
            pts.extend(seg if not pts else seg[1:])
            j = starts.get(seg[-1])
        if pts[0] == pts[-1]:
            closed.append(pts)
        else:
            chains.append(pts)
    return closed, chains


def close_on_frame(chains, reg, land_left):
    """Closes chains cut by the region along its edge. GSHHG keeps land on the
    left, so land is closed walking the edge counter-clockwise (in lon/lat)
    and water (lakes) clockwise, adding the corners passed."""
    west, east, south, north = reg
    w, h = east - west, north - south
    perim = 2 * (w + h)
    eps = 1e-7

    def pos(p):
        lon, lat = p
        if abs(lat - south) < eps:
            return lon - west
        if abs(lon - east) < eps:
            return w + lat - south
        if abs(lat - north) < eps:
            return w + h + east - lon
        if abs(lon - west) < eps:
            return 2 * w + h + north - lat
        raise ValueError("chain end %r is not on the region's edge" % (p,))

    corners = [(0.0, (west, south)), (w, (east, south)),
               (w + h, (east, north)), (2 * w + h, (west, north))]
    sign = 1 if land_left else -1

    def ahead(t_from, t_to):
        return (sign * (t_to - t_from)) % perim

    rings = []
    used = set()
    for k in range(len(chains)):
        if k in used:
            continue
        ring = []
        cur = k
        while True:
            used.add(cur)
            ring.extend(chains[cur])
            t_end = pos(chains[cur][-1])
            nxt = min(range(len(chains)),
                      key=lambda n: (ahead(t_end, pos(chains[n][0])), n))
            gap = ahead(t_end, pos(chains[nxt][0]))
            for d, corner in sorted((ahead(t_end, t), c) for t, c in corners):
                if 0 < d < gap:
                    ring.append(corner)
            if nxt == k:
                break
            if nxt in used:
                raise ValueError("frame closing ran into a used chain")
            cur = nxt
        ring.append(ring[0])
        rings.append(ring)
    return rings


# --- TopoJSON -----------------------------------------------------------------

def topo_arcs(topo):
    """Decoded arcs of a quantized TopoJSON topology, lists of (lon, lat)."""
    (sx, sy), (tx, ty) = topo["transform"]["scale"], topo["transform"]["translate"]
    out = []
    for arc in topo["arcs"]:
        x = y = 0
        pts = []
        for dx, dy in arc:
            x += dx
            y += dy
            pts.append((x * sx + tx, y * sy + ty))
        out.append(pts)
    return out


def arc_indices(geom):
    """All arc indices (non-negative) used by a Polygon/MultiPolygon."""
    arcs = geom.get("arcs", [])
    if geom["type"] == "Polygon":
        arcs = [arcs]
    elif geom["type"] != "MultiPolygon":
        return []
    return [i if i >= 0 else ~i for poly in arcs for ring in poly for i in ring]


def shared_arcs(topo, name):
    """Arcs used by two different geometries: borders between prefectures."""
    arcs = topo_arcs(topo)
    users = {}
    for g, geom in enumerate(topo["objects"][name]["geometries"]):
        for i in arc_indices(geom):
            users.setdefault(i, set()).add(g)
    return [arcs[i] for i in sorted(users) if len(users[i]) > 1]


class NearestCountry:
    """Tells whether a point is nearest to Japan's land or another country's,
    from Natural Earth's country outlines (vertices on a 0.1-degree grid)."""

    CELL = 0.1

    def __init__(self, topo, reg):
        arcs = topo_arcs(topo)
        japan_arcs = set()
        all_arcs = set()
        for geom in topo["objects"]["countries"]["geometries"]:
            idx = arc_indices(geom)
            all_arcs.update(idx)
            if geom.get("id") == JAPAN_ID:
                japan_arcs.update(idx)
        west, east, south, north = reg
        self.grid = {}
        for i in sorted(all_arcs):
            for lon, lat in arcs[i]:
                if west - 5 < lon < east + 5 and south - 5 < lat < north + 5:
                    key = (math.floor(lon / self.CELL), math.floor(lat / self.CELL))
                    self.grid.setdefault(key, []).append((lon, lat, i in japan_arcs))

    def is_japan(self, lon, lat):
        cx, cy = math.floor(lon / self.CELL), math.floor(lat / self.CELL)
        k = math.cos(math.radians(lat))
        best = None
        found_at = None
        for r in range(0, 60):
            if found_at is not None and r > found_at + 1:
                break
            for ix in range(cx - r, cx + r + 1):
                for iy in range(cy - r, cy + r + 1):
                    if max(abs(ix - cx), abs(iy - cy)) != r:
                        continue
                    for plon, plat, jp in self.grid.get((ix, iy), ()):
                        d = ((plon - lon) * k) ** 2 + (plat - lat) ** 2
                        if best is None or d < best[0]:
                            best = (d, jp)
                            if found_at is None:
                                found_at = r
        return best is not None and best[1]


def in_boxes(lon, lat):
    return any(w <= lon <= e and s <= lat <= n for w, e, s, n in JAPAN_BOXES)


def ring_is_japan(ring, nearest):
    """Majority of up to 25 evenly spaced vertices, by nearest country."""
    n = len(ring) - 1
    step = max(1, n // 25)
    samples = ring[0:n:step]
    lon = sum(p[0] for p in samples) / len(samples)
    lat = sum(p[1] for p in samples) / len(samples)
    if in_boxes(lon, lat):
        return True
    votes = sum(1 if nearest.is_japan(*p) else -1 for p in samples)
    return votes > 0


def inside(pt, rings):
    """Even-odd point-in-polygon over several rings."""
    x, y = pt
    odd = False
    for ring in rings:
        for (x1, y1), (x2, y2) in zip(ring, ring[1:]):
            if (y1 > y) != (y2 > y):
                if x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                    odd = not odd
    return odd


# --- SVG ------------------------------------------------------------------------

def path_data(lines, closed):
    """SVG path data in view-box units, two decimals, repeated points dropped."""
    out = []
    for pts in lines:
        prev = None
        cmd = []
        for lon, lat in pts:
            x, y = to_svg(lon, lat)
            q = "%.2f %.2f" % (x, y)
            if q != prev:
                cmd.append(q)
                prev = q
        if closed:
            if len(cmd) > 1 and cmd[-1] == cmd[0]:
                cmd.pop()
            if not cmd:
                continue
            out.append("M" + "L".join(cmd) + "Z")
        elif len(cmd) > 1:
            out.append("M" + "L".join(cmd))
    return "".join(out)


def clip_lines(lines, reg):
    """Drops line pieces wholly outside the region (keeps output small)."""
    west, east, south, north = reg
    keep = []
    for pts in lines:
        cur = []
        for a, b in zip(pts, pts[1:]):
            out = (max(a[0], b[0]) < west or min(a[0], b[0]) > east or
                   max(a[1], b[1]) < south or min(a[1], b[1]) > north)
            if out:
                if len(cur) > 1:
                    keep.append(cur)
                cur = []
            else:
                if not cur:
                    cur = [a]
                cur.append(b)
        if len(cur) > 1:
            keep.append(cur)
    return keep


def build(args):
    reg = region()
    land_closed, land_open = chain([p for p in read_gmt(args.land) if p[0] == 1])
    land = land_closed + close_on_frame(land_open, reg, land_left=True)

    lake_pieces = [p for p in read_gmt(args.lakes) if p[0] >= 2]
    water_closed, water_open = chain([p for p in lake_pieces if p[0] % 2 == 0])
    isle_closed, isle_open = chain([p for p in lake_pieces if p[0] % 2 == 1])
    lakes = (water_closed + close_on_frame(water_open, reg, land_left=False) +
             isle_closed + close_on_frame(isle_open, reg, land_left=True))

    with open(args.countries) as f:
        nearest = NearestCountry(json.load(f), reg)
    japan = [r for r in land if ring_is_japan(r, nearest)]
    foreign = [r for r in land if not ring_is_japan(r, nearest)]
    # A lake (or an island in it) takes the colour of the land around it.
    japan_lakes = [r for r in lakes if inside(r[0], japan)]
    foreign_lakes = [r for r in lakes if not inside(r[0], japan)]

    border_closed, border_open = chain(read_gmt(args.borders))
    borders = clip_lines(border_open + border_closed, reg)

    with open(args.prefectures) as f:
        topo = json.load(f)
    prefs = clip_lines(shared_arcs(topo, next(iter(topo["objects"]))), reg)

    japan_d = path_data(japan + japan_lakes, True)
    foreign_d = path_data(foreign + foreign_lakes, True)

    svg = []
    svg.append('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
               'viewBox="0 0 %d %d">' % (SIZE, SIZE, SIZE, SIZE))
    svg.append('<defs><clipPath id="japan"><path clip-rule="evenodd" d="%s"/>'
               '</clipPath><clipPath id="foreign"><path clip-rule="evenodd" '
               'd="%s"/></clipPath></defs>' % (japan_d, foreign_d))
    svg.append('<rect width="%d" height="%d" fill="%s"/>' % (SIZE, SIZE, SEA))
    # The coast is stroked under the fill, so only its sea half shows: land
    # keeps its full extent (a pixel on the shore stays land-coloured) and
    # islets smaller than a pixel still show as a dot.
    svg.append('<path fill="none" stroke="%s" stroke-width="%s" '
               'stroke-linejoin="round" d="%s"/>' % (COAST_FOREIGN, COAST_WIDTH, foreign_d))
    svg.append('<path fill="none" stroke="%s" stroke-width="%s" '
               'stroke-linejoin="round" d="%s"/>' % (COAST, COAST_WIDTH, japan_d))
    svg.append('<path fill="%s" fill-rule="evenodd" d="%s"/>' % (FOREIGN, foreign_d))
    svg.append('<path fill="%s" fill-rule="evenodd" d="%s"/>' % (JAPAN, japan_d))
    svg.append('<path clip-path="url(#foreign)" fill="none" stroke="%s" '
               'stroke-width="0.6" stroke-linejoin="round" stroke-linecap="round" '
               'd="%s"/>' % (NATION, path_data(borders, False)))
    svg.append('<path clip-path="url(#japan)" fill="none" stroke="%s" '
               'stroke-width="0.5" stroke-linejoin="round" stroke-linecap="round" '
               'd="%s"/>' % (PREFECTURE, path_data(prefs, False)))
    svg.append('</svg>\n')

    with open(args.out, "w") as f:
        f.write("\n".join(svg))
    print("land rings: %d Japan, %d other; lakes: %d Japan, %d other; "
          "prefecture lines: %d; border lines: %d"
          % (len(japan), len(foreign), len(japan_lakes), len(foreign_lakes),
             len(prefs), len(borders)), file=sys.stderr)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--region", action="store_true",
                    help="print the gmt -R region and exit")
    ap.add_argument("--land")
    ap.add_argument("--lakes")
    ap.add_argument("--borders")
    ap.add_argument("--prefectures")
    ap.add_argument("--countries")
    ap.add_argument("--out")
    args = ap.parse_args()
    if args.region:
        print("%.4f/%.4f/%.4f/%.4f" % region())
        return
    for name in ("land", "lakes", "borders", "prefectures", "countries", "out"):
        if getattr(args, name) is None:
            ap.error("--%s is required" % name)
    build(args)


if __name__ == "__main__":
    main()
