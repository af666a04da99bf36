#!/usr/bin/env python3
"""Generate the program icon (res/novra.ico) and hand cursor (res/hand.cur).

Standard library only, and deterministic, so the checked-in binaries can be
regenerated and diffed byte for byte.  Run from anywhere:

    python3 res/art/make_art.py
"""
import math
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SIZE = 32

# Pointing hand: '#' black, 'o' white, '.' transparent.  The fingertip pixel
# at (6,0) is the hot spot, so clicks land where the finger points.
HAND = """
......#.........
.....#o#........
....#ooo#.......
....#ooo#.......
....#ooo#.......
....#ooo#.......
....#ooo###.....
....#ooo#oo###..
....#ooo#oo#oo##
.##.#ooo#oo#oo#o#.
#oo##ooo#oo#oo#oo#
#ooo#ooooooooooooo#
.#oo#ooooooooooooo#
.#ooooooooooooooooo#
..#oooooooooooooooo#
..#oooooooooooooooo#
...#ooooooooooooooo#
...#oooooooooooooo#
....#ooooooooooooo#
....#oooooooooooo#
.....#ooooooooooo#
.....#ooooooooooo#
.....#############
"""
HOTSPOT = (6, 0)


def cursor_bytes():
    rows = HAND.strip().splitlines()
    xor = [[0] * SIZE for _ in range(SIZE)]
    mask = [[1] * SIZE for _ in range(SIZE)]
    for y, line in enumerate(rows):
        for x, ch in enumerate(line):
            if ch != '.':
                mask[y][x] = 0
                xor[y][x] = 1 if ch == 'o' else 0
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 1, 0,
                         SIZE * SIZE // 4, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + pack_1bpp(xor) + pack_1bpp(mask)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 2, 0, *HOTSPOT, len(image), 22)
    return struct.pack('<HHH', 0, 2, 1) + entry + image


def pack_1bpp(bits):
    """Bottom-up rows, most significant bit leftmost, padded to 4 bytes."""
    out = bytearray()
    for row in reversed(bits):
        for i in range(0, SIZE, 8):
            out.append(sum(b << (7 - k) for k, b in enumerate(row[i:i + 8])))
        out += bytes(-(SIZE // 8) % 4)
    return bytes(out)


# --- icon: a monitor showing a night sky ----------------------------------

def rrect(x0, y0, x1, y1, r=0.0):
    def inside(px, py):
        if not (x0 <= px <= x1 and y0 <= py <= y1):
            return False
        cx = min(max(px, x0 + r), x1 - r)
        cy = min(max(py, y0 + r), y1 - r)
        return (px - cx) ** 2 + (py - cy) ** 2 <= r * r
    return inside


def disc(cx, cy, r):
    return lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def lerp(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def vgrad(top, bottom, y0, y1):
    return lambda x, y: lerp(top, bottom, min(max((y - y0) / (y1 - y0), 0), 1))


class Canvas:
    SUB = 4  # supersamples per axis; enough for smooth 32px curves

    def __init__(self):
        self.px = [[None] * SIZE for _ in range(SIZE)]

    def paint(self, shape, colour):
        """Blend a shape over what is there.  Where nothing is yet, a pixel
        is only claimed when mostly covered: the 1-bit mask cannot blend
        with the desktop, so the outer silhouette stays crisp."""
        fill = colour if callable(colour) else (lambda x, y: colour)
        n = self.SUB
        for y in range(SIZE):
            for x in range(SIZE):
                hits = sum(shape(x + (i + .5) / n, y + (j + .5) / n)
                           for i in range(n) for j in range(n))
                a = hits / (n * n)
                if a == 0:
                    continue
                c = fill(x, y)
                if self.px[y][x] is None:
                    if a >= .5:
                        self.px[y][x] = c
                else:
                    self.px[y][x] = lerp(self.px[y][x], c, a)

    def dot(self, x, y, colour, alpha=1.0):
        self.px[y][x] = lerp(self.px[y][x], colour, alpha)


def draw_icon():
    ink = (24, 28, 38)
    c = Canvas()
    # Stand first so the monitor outline overlaps its neck cleanly.
    c.paint(rrect(12, 23, 20, 28), ink)
    c.paint(rrect(7, 26, 25, 30, 1.6), ink)
    c.paint(rrect(13, 24, 19, 28), vgrad((120, 126, 140), (150, 156, 170), 24, 28))
    c.paint(rrect(8, 27, 24, 29, 1.0), vgrad((196, 200, 210), (136, 142, 156), 27, 29))
    c.paint(rrect(1, 2, 31, 25, 3.0), ink)
    c.paint(rrect(2, 3, 30, 24, 2.0), vgrad((226, 230, 238), (158, 164, 178), 3, 24))
    c.paint(rrect(4, 5, 28, 21), ink)
    sky = vgrad((6, 10, 40), (36, 74, 150), 6, 20)
    c.paint(rrect(5, 6, 27, 20), sky)
    # Crescent moon: a disc with an offset disc taken out of it.
    moon, bite = disc(21.5, 10.5, 3.5), disc(23.2, 9.2, 3.0)
    c.paint(lambda x, y: moon(x, y) and not bite(x, y), (255, 240, 176))
    # Distant hills give the sky a horizon to read against.
    c.paint(lambda x, y: y >= 17.6 + 1.6 * math.sin(x * 0.45 + 0.8) and 5 <= x <= 27
            and y <= 20, (12, 22, 46))
    for x, y in [(9, 8), (15, 7), (13, 12), (25, 15), (7, 15), (18, 14)]:
        c.dot(x, y, (200, 214, 255))
    # One sparkling star draws the eye.
    c.dot(10, 11, (255, 255, 255))
    for dx, dy in [(-1, 0), (1, 0), (0, -1), (0, 1)]:
        c.dot(10 + dx, 11 + dy, (170, 190, 255), .6)
    c.dot(26, 23, (70, 230, 120))  # power light
    return c.px


def icon_bytes():
    px = draw_icon()
    xor = bytearray()
    for row in reversed(px):
        for p in row:
            r, g, b = p or (0, 0, 0)
            xor += bytes((b, g, r))
        xor += bytes(-(SIZE * 3) % 4)
    mask = pack_1bpp([[0 if p else 1 for p in row] for row in px])
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 24, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + mask
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 24, len(image), 22)
    return struct.pack('<HHH', 0, 1, 1) + entry + image


def main():
    for name, data in [('novra.ico', icon_bytes()), ('hand.cur', cursor_bytes())]:
        path = os.path.join(ROOT, 'res', name)
        with open(path, 'wb') as f:
            f.write(data)
        print(f'{path}: {len(data)} bytes')


if __name__ == '__main__':
    main()
