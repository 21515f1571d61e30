"""The eleven small ornaments of the chart forms, 17 x 17 (and 34 x 34 at 2x).

Each ornament is drawn in a 17-unit square. Straight edges sit on whole units
and discs reach exactly from 1 to 16, so edges land on pixel boundaries at
both sizes.
Numbers 1-5 are the five elements (木火土金水) as coloured discs with a
mark; 6-11 are 陰陽 and family-crest style motifs in the same palette.
"""

import math
import os

import common

SIZE = 17
C = SIZE / 2  # centre
MARK = "#fbf5e6"  # cream marks on the discs

# Fill and rim colours, traditional Japanese hues muted to sit on a grey form.
WOOD = ("#3f8a4f", "#265c33")
FIRE = ("#cf4a2f", "#8f2c1c")
EARTH = ("#c29230", "#87631c")
METAL = ("#7f8996", "#555d68")
WATER = ("#2f5f9e", "#1c3c6a")
INDIGO = ("#2d3a78", "#1b2452")
PLUM = ("#d4587a", "#9e3858")
GOLD = ("#c39a3a", "#8a6a22")
TEAL = ("#2f8078", "#1d5752")
BELLFLOWER = ("#6a52b0", "#45347c")


def _disc(colours):
    fill, rim = colours
    return f'<circle cx="{C}" cy="{C}" r="7" fill="{fill}" stroke="{rim}" stroke-width="1"/>'


def wood():
    # A sprout: stem and two leaves.
    return (_disc(WOOD)
            + f'<rect x="8" y="6" width="1" height="7" fill="{MARK}"/>'
            + f'<path d="M 8.5 8.5 C 6.5 8.5 4.8 7 4.5 5 C 6.5 5 8.2 6.2 8.5 8.5 Z" fill="{MARK}"/>'
            + f'<path d="M 8.5 7.5 C 10.5 7.5 12.2 6 12.5 4 C 10.5 4 8.8 5.2 8.5 7.5 Z" fill="{MARK}"/>')


def fire():
    # A flame rising from a round base.
    return (_disc(FIRE)
            + f'<path d="M 8.5 3.5 C 9.6 5.6 12 7.2 12 10 C 12 12 10.4 13.5 8.5 13.5 '
              f'C 6.6 13.5 5 12 5 10 C 5 8.6 5.8 7.6 6.6 6.9 C 6.7 8.2 7.2 9 8 9.2 '
              f'C 7.4 7.4 7.7 5.2 8.5 3.5 Z" fill="{MARK}"/>')


def earth():
    # 土 drawn in whole-pixel strokes: a shoot standing on the ground.
    return (_disc(EARTH)
            + f'<rect x="8" y="4" width="1" height="8" fill="{MARK}"/>'
            + f'<rect x="5" y="7" width="7" height="1" fill="{MARK}"/>'
            + f'<rect x="4" y="11" width="9" height="1" fill="{MARK}"/>')


def metal():
    # A round coin with a square hole.
    return (_disc(METAL)
            + f'<circle cx="{C}" cy="{C}" r="4.6" fill="{MARK}"/>'
            + f'<rect x="7" y="7" width="3" height="3" fill="{METAL[0]}"/>')


def water():
    # Two waves.
    wave = 'c 1 -1.4 2 -1.4 3 0 c 1 1.4 2 1.4 3 0 c 0.5 -0.7 1 -1.05 1.5 -1.05'
    return (_disc(WATER)
            + f'<path d="M 3.75 7.3 {wave}" fill="none" stroke="{MARK}" stroke-width="1.3" stroke-linecap="round"/>'
            + f'<path d="M 3.75 11.3 {wave}" fill="none" stroke="{MARK}" stroke-width="1.3" stroke-linecap="round"/>')


def yin_yang():
    fill, rim = INDIGO
    r = 7
    return (f'<circle cx="{C}" cy="{C}" r="{r}" fill="{MARK}"/>'
            # Dark half: the left semicircle, bulging into the light at the bottom.
            + f'<path d="M {C} {C - r} A {r} {r} 0 0 0 {C} {C + r} '
              f'A {r / 2} {r / 2} 0 0 0 {C} {C} A {r / 2} {r / 2} 0 0 1 {C} {C - r} Z" fill="{fill}"/>'
            + f'<circle cx="{C}" cy="{C + r / 2}" r="1.4" fill="{MARK}"/>'
            + f'<circle cx="{C}" cy="{C - r / 2}" r="1.4" fill="{fill}"/>'
            + f'<circle cx="{C}" cy="{C}" r="{r}" fill="none" stroke="{rim}" stroke-width="1"/>')


def plum():
    # 梅鉢-like blossom: five round petals and a golden heart.
    fill, rim = PLUM
    petals = []
    for i in range(5):
        a = math.radians(i * 72)
        x, y = C + 4.1 * math.sin(a), C - 4.1 * math.cos(a) + 0.3
        petals.append(f'<circle cx="{x:.3f}" cy="{y:.3f}" r="3.1" fill="{fill}" '
                      f'stroke="{rim}" stroke-width="0.8"/>')
    return ("".join(petals)
            + f'<circle cx="{C}" cy="{C + 0.3}" r="2.6" fill="{fill}"/>'
            + f'<circle cx="{C}" cy="{C + 0.3}" r="1.5" fill="{GOLD[0]}"/>')


def diamonds():
    # 割菱: four diamonds parted by narrow gaps.
    fill, _ = INDIGO
    out = []
    for dx, dy in ((0, -3.9), (3.9, 0), (0, 3.9), (-3.9, 0)):
        x, y, h = C + dx, C + dy, 3.4
        out.append(f'<path d="M {x} {y - h} L {x + h} {y} L {x} {y + h} L {x - h} {y} Z" fill="{fill}"/>')
    return "".join(out)


def _hexagon(r, cx=C, cy=C):
    pts = []
    for i in range(6):
        a = math.radians(i * 60)
        pts.append(f"{cx + r * math.sin(a):.3f},{cy - r * math.cos(a):.3f}")
    return " ".join(pts)


def tortoise_shell():
    # 亀甲: a hexagon frame around a solid hexagon.
    fill, rim = GOLD
    return (f'<polygon points="{_hexagon(7.2)}" fill="none" stroke="{rim}" stroke-width="1.2" '
            f'stroke-linejoin="round"/>'
            + f'<polygon points="{_hexagon(4.0)}" fill="{fill}"/>')


def seven_treasures():
    # 七宝: a ring holding four pointed petals.
    fill, rim = TEAL
    petals = []
    for deg in (0, 90, 180, 270):
        petals.append(f'<path d="M {C} {C} A 4.4 4.4 0 0 1 {C} {C - 6.3} A 4.4 4.4 0 0 1 {C} {C} Z" '
                      f'fill="{fill}" transform="rotate({deg} {C} {C})"/>')
    return (f'<circle cx="{C}" cy="{C}" r="7" fill="none" stroke="{rim}" stroke-width="1"/>'
            + "".join(petals))


def bellflower():
    # 桔梗: a five-pointed flower with rounded notches and a pale heart.
    fill, rim = BELLFLOWER
    pts = []
    for i in range(10):
        a = math.radians(i * 36)
        r = 8.0 if i % 2 == 0 else 4.9
        pts.append((C + r * math.sin(a), C + 0.4 - r * math.cos(a)))
    d = "M " + " L ".join(f"{x:.3f} {y:.3f}" for x, y in pts) + " Z"
    return (f'<path d="{d}" fill="{fill}" stroke="{rim}" stroke-width="0.8" stroke-linejoin="round"/>'
            + f'<circle cx="{C}" cy="{C + 0.4}" r="1.7" fill="{MARK}"/>')


# In file order: deco01.png ... deco11.png.
ORNAMENTS = [
    ("木 wood", wood),
    ("火 fire", fire),
    ("土 earth", earth),
    ("金 metal", metal),
    ("水 water", water),
    ("陰陽 yin and yang", yin_yang),
    ("梅 plum blossom", plum),
    ("割菱 parted diamonds", diamonds),
    ("亀甲 tortoise shell", tortoise_shell),
    ("七宝 seven treasures", seven_treasures),
    ("桔梗 bellflower", bellflower),
]


def svg(body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" '
            f'viewBox="0 0 {SIZE} {SIZE}">{body}</svg>')


def make():
    for n, (_, draw) in enumerate(ORNAMENTS, start=1):
        text = svg(draw())
        for scale, suffix in ((1, ""), (2, "@2x")):
            rows = common.render_svg(text, SIZE * scale, SIZE * scale)
            common.write_png(os.path.join(common.IMAGES, f"deco{n:02d}{suffix}.png"), rows, 4)


if __name__ == "__main__":
    common.require_rsvg()
    make()
