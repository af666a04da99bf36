"""Parses the generated icon and cursor back the way Windows reads them.

Run: python3 -m unittest discover -s res/art
"""
import os
import struct
import unittest

import make_art

ICO, CUR = make_art.icon_bytes(), make_art.cursor_bytes()


def parse(data):
    """(dir, entry, bitmap header, colour-bit getter, AND rows top-down)."""
    entry = struct.unpack_from('<BBBBHHII', data, 6)
    bih = struct.unpack_from('<IiiHHIIiiII', data, entry[7])
    bpp = bih[4]
    off = entry[7] + 40 + (8 if bpp == 1 else 0)
    stride = (32 * bpp + 31) // 32 * 4
    rows = [data[off + (31 - y) * stride:][:stride] for y in range(32)]
    if bpp == 1:
        colour = lambda x, y: rows[y][x // 8] >> (7 - x % 8) & 1
    else:
        colour = lambda x, y: any(rows[y][x * 3:x * 3 + 3])
    off += 32 * stride
    mask = [[data[off + (31 - y) * 4 + x // 8] >> (7 - x % 8) & 1 for x in range(32)]
            for y in range(32)]
    return struct.unpack_from('<HHH', data), entry, bih, colour, mask


class Layout(unittest.TestCase):
    def test_headers_and_sizes(self):
        for data, kind, planes_or_hot, bpp, extra in [(ICO, 1, (1, 24), 24, 32 * 96),
                                                      (CUR, 2, (6, 0), 1, 8 + 32 * 4)]:
            head, entry, bih, _, _ = parse(data)
            self.assertEqual(head, (0, kind, 1))
            self.assertEqual(entry[:2] + entry[4:], (32, 32) + planes_or_hot + (len(data) - 22, 22))
            self.assertEqual(bih[:6], (40, 32, 64, 1, bpp, 0))
            self.assertEqual(len(data), 22 + 40 + extra + 32 * 4)
        self.assertEqual(CUR[62:70], bytes([0, 0, 0, 0, 255, 255, 255, 0]))

    def test_checked_in_files_are_current(self):
        for name, data in [('novra.ico', ICO), ('hand.cur', CUR)]:
            with open(os.path.join(make_art.ROOT, 'res', name), 'rb') as f:
                self.assertEqual(f.read(), data, name + ' is stale; rerun make_art.py')


class Pixels(unittest.TestCase):
    def test_transparent_pixels_leave_the_desktop_alone(self):
        # AND=1 with a non-zero XOR would invert the screen instead of hiding.
        for data in (ICO, CUR):
            _, _, _, colour, mask = parse(data)
            bad = [(x, y) for y in range(32) for x in range(32) if mask[y][x] and colour(x, y)]
            self.assertEqual(bad, [])

    def test_fingertip_is_the_hotspot_and_the_topmost_pixel(self):
        _, entry, _, _, mask = parse(CUR)
        self.assertEqual([(x, y) for y in range(32) for x in range(32) if not mask[y][x]][0],
                         entry[4:6])

    def test_hand_outline_is_closed(self):
        # A white pixel touching transparency would vanish on a white page.
        _, _, _, colour, mask = parse(CUR)
        opaque = lambda x, y: 0 <= x < 32 and 0 <= y < 32 and not mask[y][x]
        leaks = [(x, y) for y in range(32) for x in range(32) if opaque(x, y) and colour(x, y)
                 and not all(opaque(x + dx, y + dy) for dx, dy in [(-1, 0), (1, 0), (0, -1), (0, 1)])]
        self.assertEqual(leaks, [])

    def test_hand_grid_uses_only_known_marks(self):
        # Any other character would silently be drawn as black.
        rows = make_art.HAND.strip().splitlines()
        self.assertLessEqual(set(''.join(rows)), set('.#o'))
        self.assertTrue(len(rows) <= 32 and max(map(len, rows)) <= 32)


if __name__ == '__main__':
    unittest.main()
