#!/usr/bin/env python3
"""Writes the zoom cursors share/MAGNIFY.CUR (a magnifier with "+") and share/DOWN.CUR (with "-").

32 x 32 pixels, 32-bit colour with an AND mask, hot spot at the lens centre (12, 12): the same
picture the program draws for itself when the files are missing. Run it after changing the picture;
the .CUR files are committed.
"""
import math
import os
import struct

SIZE = 32
CX, CY, R = 12.0, 12.0, 8.5


def distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def picture(plus):
    # Each pixel: None (transparent), 'w' (white rim) or 'b' (black line).
    segments = [(8, 12, 16, 12), (18.5, 18.5, 28, 28)]
    if plus:
        segments.append((12, 8, 12, 16))
    pixels = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            px, py = x + 0.5, y + 0.5
            ring = abs(math.hypot(px - CX, py - CY) - R)
            line = min(distance_to_segment(px, py, *s) for s in segments)
            d = min(ring, line)
            row.append('b' if d <= 1.0 else ('w' if d <= 2.0 else None))
        pixels.append(row)
    return pixels


def cur_bytes(pixels):
    colours = {'b': (0, 0, 0, 255), 'w': (255, 255, 255, 255), None: (0, 0, 0, 0)}
    xor = bytearray()
    for row in reversed(pixels):  # bottom-up rows
        for p in row:
            r, g, b, a = colours[p]
            xor += bytes((b, g, r, a))
    and_mask = bytearray()
    for row in reversed(pixels):
        bits = 0
        for x, p in enumerate(row):
            if p is None:
                bits |= 1 << (31 - x)
        and_mask += struct.pack('>I', bits)
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask),
                         0, 0, 0, 0)
    image = header + xor + and_mask
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, int(CX), int(CY), len(image), 6 + 16)
    return directory + entry + image


def main():
    share = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'share')
    for name, plus in (('MAGNIFY.CUR', True), ('DOWN.CUR', False)):
        with open(os.path.join(share, name), 'wb') as f:
            f.write(cur_bytes(picture(plus)))


if __name__ == '__main__':
    main()
