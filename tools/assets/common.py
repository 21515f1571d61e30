"""Shared helpers for the asset generators: SVG rendering and PNG I/O.

SVG is rendered with rsvg-convert (Debian package librsvg2-bin); everything
else is the Python standard library, so the output depends only on librsvg,
cairo and the installed fonts, never on the time of the run.
"""

import os
import shutil
import struct
import subprocess
import tempfile
import zlib

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
IMAGES = os.path.join(REPO, "ui", "images")
SOUNDS = os.path.join(REPO, "ui", "sounds")

# The face of the splash's text; ui/images/README.md names its licence.
SERIF_JP = "Noto Serif CJK JP"


def require_rsvg():
    if shutil.which("rsvg-convert") is None:
        raise SystemExit("rsvg-convert not found: apt-get install librsvg2-bin")


def render_svg(svg_text, width, height):
    """Renders SVG text to RGBA rows: a list of `height` bytearrays of 4*width."""
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "in.svg")
        dst = os.path.join(tmp, "out.png")
        with open(src, "w", encoding="utf-8") as f:
            f.write(svg_text)
        subprocess.run(["rsvg-convert", "-w", str(width), "-h", str(height),
                        "-f", "png", "-o", dst, src], check=True)
        w, h, channels, rows = read_png(dst)
    if (w, h) != (width, height):
        raise RuntimeError(f"rsvg-convert gave {w}x{h}, wanted {width}x{height}")
    if channels == 3:
        rows = [_rgb_to_rgba(r) for r in rows]
    return rows


def _rgb_to_rgba(row):
    out = bytearray()
    for i in range(0, len(row), 3):
        out += row[i:i + 3] + b"\xff"
    return out


def flatten(rows):
    """Drops alpha, compositing over black (the splash is fully opaque anyway)."""
    out = []
    for row in rows:
        r = bytearray()
        for i in range(0, len(row), 4):
            a = row[i + 3]
            r += bytes((row[i] * a // 255, row[i + 1] * a // 255, row[i + 2] * a // 255))
        out.append(r)
    return out


def _chunk(kind, data):
    c = struct.pack(">I", len(data)) + kind + data
    return c + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)


def write_png(path, rows, channels):
    """Writes 8-bit RGB (channels 3) or RGBA (4) rows. No time or text chunks,
    so identical pixels always give identical files."""
    height = len(rows)
    width = len(rows[0]) // channels
    colour_type = {3: 2, 4: 6}[channels]
    raw = b"".join(b"\x00" + bytes(r) for r in rows)
    data = (b"\x89PNG\r\n\x1a\n"
            + _chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
            + _chunk(b"IDAT", zlib.compress(raw, 9))
            + _chunk(b"IEND", b""))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read_png(path):
    """Reads an 8-bit, non-interlaced RGB or RGBA PNG: (width, height, channels, rows)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG")
    pos, idat, ihdr = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour_type, _, _, interlace = ihdr
    if depth != 8 or interlace or colour_type not in (2, 6):
        raise ValueError(f"{path}: unsupported PNG layout {ihdr}")
    channels = 3 if colour_type == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        base = y * (stride + 1)
        ftype = raw[base]
        line = bytearray(raw[base + 1:base + 1 + stride])
        _unfilter(ftype, line, prev, channels)
        rows.append(line)
        prev = line
    return width, height, channels, rows


def _unfilter(ftype, line, prev, bpp):
    n = len(line)
    if ftype == 0:
        return
    for i in range(n):
        a = line[i - bpp] if i >= bpp else 0
        b = prev[i]
        if ftype == 1:
            p = a
        elif ftype == 2:
            p = b
        elif ftype == 3:
            p = (a + b) // 2
        elif ftype == 4:
            c = prev[i - bpp] if i >= bpp else 0
            pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
            p = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
        else:
            raise ValueError(f"bad PNG filter {ftype}")
        line[i] = (line[i] + p) & 0xff
