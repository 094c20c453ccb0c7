#!/usr/bin/env python3
"""Draws the 16 x 16 images of the tool bar, the menu and the editor buttons.

Run it from anywhere to regenerate the PNG files next to it; the files are
kept in the repository, so the build does not need Python. Only the standard
library is used (zlib for the PNG encoding). Transparent background.
"""
import math
import os
import struct
import zlib

SIZE = 16
HERE = os.path.dirname(os.path.abspath(__file__))

BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)
GREY = (128, 128, 128, 255)
DARK_GREY = (80, 80, 80, 255)
LIGHT_GREY = (200, 200, 200, 255)
YELLOW = (255, 222, 40, 255)
DARK_YELLOW = (196, 150, 0, 255)
STAR = (255, 200, 0, 255)
NAVY = (0, 0, 110, 255)
BLUE = (30, 80, 200, 255)
LIGHT_BLUE = (110, 160, 240, 255)
GREEN = (0, 150, 0, 255)
DARK_GREEN = (0, 90, 0, 255)
RED = (210, 20, 20, 255)
DARK_RED = (130, 0, 0, 255)


class Canvas:
    def __init__(self):
        self.px = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]

    def set(self, x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def box(self, x0, y0, x1, y1, inside, outline):
        self.fill(x0, y0, x1, y1, inside)
        self.frame(x0, y0, x1, y1, outline)

    def line(self, x0, y0, x1, y1, c):
        steps = math.ceil(max(abs(x1 - x0), abs(y1 - y0)))
        for i in range(steps + 1):
            t = i / steps if steps else 0
            self.set(round(x0 + (x1 - x0) * t), round(y0 + (y1 - y0) * t), c)

    def polygon(self, points, inside, outline):
        # Scan-line fill by the even-odd rule, then the outline.
        for y in range(SIZE):
            xs = []
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay <= y < by) or (by <= y < ay):
                    xs.append(ax + (y - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(math.ceil(a), math.floor(b) + 1):
                    self.set(x, y, inside)
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            self.line(ax, ay, bx, by, outline)

    def disc(self, cx, cy, r, inside, outline):
        for y in range(SIZE):
            for x in range(SIZE):
                d = math.hypot(x - cx, y - cy)
                if d <= r - 0.5:
                    self.set(x, y, inside)
                elif d <= r + 0.5:
                    self.set(x, y, outline)

    def png(self):
        raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in self.px)
        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
        header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def page(c, x0, y0, x1, y1):
    """A sheet of paper with a folded top right corner."""
    c.box(x0, y0, x1, y1, WHITE, BLACK)
    for i in range(4):
        for j in range(4 - i):
            c.set(x1 - j, y0 + i, (0, 0, 0, 0))
    c.line(x1 - 3, y0, x1, y0 + 3, BLACK)
    c.line(x1 - 3, y0, x1 - 3, y0 + 3, BLACK)
    c.line(x1 - 3, y0 + 3, x1, y0 + 3, BLACK)


def star(c, cx, cy):
    for dx, dy in [(0, -2), (0, -1), (-1, 0), (0, 0), (1, 0), (-2, 0), (2, 0),
                   (0, 1), (-1, 2), (1, 2), (-1, -1), (1, -1), (-1, 1), (1, 1)]:
        c.set(cx + dx, cy + dy, STAR)
    for dx, dy in [(0, -3), (-3, 0), (3, 0), (-2, 3), (2, 3)]:
        c.set(cx + dx, cy + dy, DARK_YELLOW)


def diskette(c, x0, y0, s):
    x1, y1 = x0 + s - 1, y0 + s - 1
    c.box(x0, y0, x1, y1, BLUE, NAVY)
    c.fill(x0 + 3, y0 + 1, x1 - 3, y0 + s // 2 - 1, WHITE)
    c.fill(x0 + 3, y1 - 3, x1 - 3, y1 - 1, LIGHT_GREY)
    c.fill(x1 - 5, y1 - 3, x1 - 4, y1 - 2, NAVY)
    c.set(x1, y0, (0, 0, 0, 0))


def icon_new():
    c = Canvas()
    page(c, 2, 2, 11, 15)
    for y in (7, 9, 11, 13):
        c.line(4, y, 9, y, LIGHT_GREY)
    star(c, 12, 3)
    return c


def icon_open():
    c = Canvas()
    c.box(1, 3, 5, 5, DARK_YELLOW, BLACK)
    c.box(1, 4, 12, 13, DARK_YELLOW, BLACK)
    c.polygon([(4, 7), (15, 7), (12, 13), (1, 13)], YELLOW, BLACK)
    return c


def icon_save():
    c = Canvas()
    diskette(c, 1, 1, 14)
    return c


def icon_saveas():
    c = Canvas()
    diskette(c, 0, 0, 10)
    diskette(c, 3, 3, 10)
    diskette(c, 6, 6, 10)
    return c


def icon_exit():
    c = Canvas()
    for d in (-1, 0, 1):
        c.line(3 + d, 3, 12 + d, 12, GREY)
        c.line(12 + d, 3, 3 + d, 12, GREY)
    c.line(2, 3, 11, 12, DARK_GREY)
    c.line(13, 3, 4, 12, DARK_GREY)
    return c


def icon_about():
    c = Canvas()
    c.disc(7.5, 7.5, 7, BLUE, NAVY)
    c.fill(7, 3, 8, 4, WHITE)
    c.fill(7, 6, 8, 12, WHITE)
    c.fill(6, 6, 6, 6, WHITE)
    c.fill(6, 12, 9, 12, WHITE)
    return c


def arrow_right(c, inside, outline):
    c.polygon([(1, 5), (8, 5), (8, 1), (14, 7.5), (8, 14), (8, 10), (1, 10)], inside, outline)


def icon_send():
    c = Canvas()
    arrow_right(c, GREEN, DARK_GREEN)
    return c


def icon_receive():
    c = Canvas()
    arrow_right(c, LIGHT_BLUE, NAVY)
    c.px = [list(reversed(row)) for row in c.px]
    return c


def icon_run():
    c = Canvas()
    c.polygon([(3, 1), (14, 7.5), (3, 14)], GREEN, DARK_GREEN)
    return c


def icon_stop():
    c = Canvas()
    c.box(2, 2, 13, 13, RED, DARK_RED)
    return c


def icon_clear():
    c = Canvas()
    page(c, 1, 0, 11, 14)
    for d in (0, 1):
        c.line(6 + d, 7, 14 + d, 15, RED)
        c.line(14 + d, 7, 6 + d, 15, RED)
    return c


def icon_copy():
    c = Canvas()
    page(c, 0, 0, 9, 11)
    page(c, 5, 4, 14, 15)
    for y in (8, 10, 12):
        c.line(7, y, 12, y, LIGHT_GREY)
    return c


ICONS = {
    "new": icon_new, "open": icon_open, "save": icon_save, "saveas": icon_saveas,
    "exit": icon_exit, "about": icon_about, "send": icon_send, "receive": icon_receive,
    "run": icon_run, "stop": icon_stop, "clear": icon_clear, "copy": icon_copy,
}

if __name__ == "__main__":
    for name, draw in ICONS.items():
        with open(os.path.join(HERE, name + ".png"), "wb") as f:
            f.write(draw().png())
