#!/usr/bin/env python3
"""Makes kxrd4-pc.ico, the icon of the Windows programs, from the tool's PNG icons.

    python3 make-icon.py ICONS_FOLDER OUTPUT.ico

The small sizes (16, 32, 48 pixels) are stored as 32-bit bitmaps, which every
Windows and Wine draws; the 256-pixel one as PNG, as Windows expects it.
Standard library only.
"""
import struct
import sys
import zlib
from pathlib import Path

BITMAP_SIZES = (16, 32, 48)
PNG_SIZES = (256,)


def read_png_rgba(data):
    """The rows of an 8-bit RGBA, non-interlaced PNG as bytes per row."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos = 8
    idat = b""
    width = height = 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour == 6 and interlace == 0, "needs 8-bit RGBA, not interlaced"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 4
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind = raw[start]
        row = bytearray(raw[start + 1:start + 1 + stride])
        for x in range(stride):
            left = row[x - 4] if x >= 4 else 0
            up = previous[x]
            up_left = previous[x - 4] if x >= 4 else 0
            if kind == 1:
                row[x] = (row[x] + left) & 0xFF
            elif kind == 2:
                row[x] = (row[x] + up) & 0xFF
            elif kind == 3:
                row[x] = (row[x] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - up_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
                predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else up_left)
                row[x] = (row[x] + predictor) & 0xFF
        rows.append(bytes(row))
        previous = row
    return width, height, rows


def bitmap_entry(png):
    """A 32-bit BGRA device-independent bitmap with its (empty) AND mask."""
    width, height, rows = read_png_rgba(png)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b""
    for row in reversed(rows):  # bottom-up
        for x in range(width):
            r, g, b, a = row[x * 4:x * 4 + 4]
            pixels += bytes((b, g, r, a))
    mask_stride = ((width + 31) // 32) * 4
    mask = bytes(mask_stride * height)
    return header + pixels + mask


def main():
    icons, output = Path(sys.argv[1]), Path(sys.argv[2])
    images = []
    for size in BITMAP_SIZES:
        images.append((size, bitmap_entry((icons / f"kxrd4-pc-{size}.png").read_bytes())))
    for size in PNG_SIZES:
        images.append((size, (icons / f"kxrd4-pc-{size}.png").read_bytes()))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        side = size if size < 256 else 0
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset + len(body))
        body += data
    output.write_bytes(directory + body)


if __name__ == "__main__":
    main()
