"""Splash picture: ink-indigo ground, a faint stem-and-branch dial, the title.

The picture is drawn in a 325 x 227 coordinate space and rendered at 1x and
2x. The program writes its version label over the bottom-right corner, so
nothing but the plain ground is drawn in VERSION_BOX.
"""

import math
import os

import common

WIDTH, HEIGHT = 325, 227
# Left, top, right, bottom of the corner kept clear for the version label.
VERSION_BOX = (WIDTH - 120, HEIGHT - 24, WIDTH, HEIGHT)

STEMS = "甲乙丙丁戊己庚辛壬癸"
BRANCHES = "子丑寅卯辰巳午未申酉戌亥"

GOLD = "#c9a85c"
CREAM = "#efe4c4"
PALE_GOLD = "#d9c48e"

# Centre and outer radius of the dial; it stays clear of VERSION_BOX.
DIAL_X, DIAL_Y, DIAL_R = 268.0, 94.0, 92.0


def _polar(r, deg):
    """Point at radius r and angle deg clockwise from the top of the dial."""
    a = math.radians(deg)
    return DIAL_X + r * math.sin(a), DIAL_Y - r * math.cos(a)


def _ring(r, width, opacity):
    return (f'<circle cx="{DIAL_X}" cy="{DIAL_Y}" r="{r}" fill="none" stroke="{GOLD}" '
            f'stroke-width="{width}" stroke-opacity="{opacity}"/>')


def _glyphs_on_circle(chars, r, size, opacity):
    """Characters spaced evenly round the dial, kept upright to stay legible."""
    out = []
    step = 360.0 / len(chars)
    for i, ch in enumerate(chars):
        deg = i * step
        x, y = _polar(r, deg)
        out.append(
            f'<text x="{x:.3f}" y="{y:.3f}" '
            f'font-family="{common.SERIF_JP}" font-size="{size}" fill="{GOLD}" '
            f'fill-opacity="{opacity}" text-anchor="middle" dominant-baseline="central">{ch}</text>')
    return "\n".join(out)


def _dial():
    parts = [_ring(DIAL_R, 0.9, 0.45), _ring(DIAL_R - 3.5, 0.5, 0.35)]
    # Sixty divisions of the cycle, every fifth one longer.
    for i in range(60):
        deg = i * 6.0
        inner = DIAL_R - (9.5 if i % 5 == 0 else 6.5)
        x1, y1 = _polar(DIAL_R - 3.5, deg)
        x2, y2 = _polar(inner, deg)
        op = 0.42 if i % 5 == 0 else 0.25
        parts.append(f'<line x1="{x1:.3f}" y1="{y1:.3f}" x2="{x2:.3f}" y2="{y2:.3f}" '
                     f'stroke="{GOLD}" stroke-width="0.6" stroke-opacity="{op}"/>')
    parts.append(_glyphs_on_circle(BRANCHES, DIAL_R - 19, 11, 0.42))
    parts.append(_ring(DIAL_R - 29, 0.5, 0.30))
    parts.append(_glyphs_on_circle(STEMS, DIAL_R - 38, 9, 0.32))
    parts.append(_ring(DIAL_R - 47, 0.5, 0.28))
    # Twelve spokes and a small hub: the branches' directions.
    for i in range(12):
        deg = i * 30.0 + 15.0
        x1, y1 = _polar(DIAL_R - 49, deg)
        x2, y2 = _polar(10, deg)
        parts.append(f'<line x1="{x1:.3f}" y1="{y1:.3f}" x2="{x2:.3f}" y2="{y2:.3f}" '
                     f'stroke="{GOLD}" stroke-width="0.4" stroke-opacity="0.22"/>')
    parts.append(_ring(10, 0.6, 0.35))
    parts.append(f'<circle cx="{DIAL_X}" cy="{DIAL_Y}" r="2.2" fill="{GOLD}" fill-opacity="0.5"/>')
    return "\n".join(parts)


def svg():
    return f"""<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{HEIGHT}"
     viewBox="0 0 {WIDTH} {HEIGHT}">
  <defs>
    <linearGradient id="ground" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="#262e5a"/>
      <stop offset="1" stop-color="#0c1024"/>
    </linearGradient>
    <radialGradient id="glow" cx="{DIAL_X}" cy="{DIAL_Y}" r="150" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#4a5aa0" stop-opacity="0.40"/>
      <stop offset="1" stop-color="#4a5aa0" stop-opacity="0"/>
    </radialGradient>
    <linearGradient id="rule" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="{GOLD}" stop-opacity="0.9"/>
      <stop offset="1" stop-color="{GOLD}" stop-opacity="0"/>
    </linearGradient>
    <radialGradient id="shade" cx="95" cy="120" r="110" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#0c1024" stop-opacity="0.55"/>
      <stop offset="1" stop-color="#0c1024" stop-opacity="0"/>
    </radialGradient>
  </defs>
  <rect width="{WIDTH}" height="{HEIGHT}" fill="url(#ground)"/>
  <rect width="{WIDTH}" height="{HEIGHT}" fill="url(#glow)"/>
  {_dial()}
  <!-- A soft shadow under the title keeps it legible where it meets the dial. -->
  <rect width="{WIDTH}" height="{HEIGHT}" fill="url(#shade)"/>
  <rect x="5.5" y="5.5" width="{WIDTH - 11}" height="{HEIGHT - 11}" fill="none"
        stroke="{GOLD}" stroke-width="1" stroke-opacity="0.35"/>

  <text x="20" y="113" font-family="{common.SERIF_JP}" font-weight="bold" font-size="31"
        fill="{CREAM}">Torvela<tspan font-weight="normal" font-size="13" dx="1"
        fill="{PALE_GOLD}">（一般用）</tspan></text>
  <rect x="22" y="126" width="165" height="0.8" fill="url(#rule)"/>
  <path d="M 22 126.4 l 3 -3 l 3 3 l -3 3 z" fill="{GOLD}" fill-opacity="0.9"/>
  <text x="23" y="151" font-family="{common.SERIF_JP}" font-size="13.5" letter-spacing="2.5"
        fill="{CREAM}" fill-opacity="0.9">四柱推命\u3000命式作成</text>
</svg>
"""


def make():
    text = svg()
    for scale, name in ((1, "splash.png"), (2, "splash@2x.png")):
        rows = common.render_svg(text, WIDTH * scale, HEIGHT * scale)
        common.write_png(os.path.join(common.IMAGES, name), common.flatten(rows), 3)


if __name__ == "__main__":
    common.require_rsvg()
    make()
