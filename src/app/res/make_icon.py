#!/usr/bin/env python3
"""Draws the program's icon and writes it as a 16-colour .ico file with a
32x32 and a 16x16 image: a page of text at the upper left, a red arrow
curving down into a cyan folder that bears the letters ZIP."""
import struct
import sys

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, TEAL, GREY, RED, CYAN, WHITE = 0, 6, 8, 9, 14, 15
CLEAR = None

LETTERS = {  # 3x5
    "Z": ["###", "..#", ".#.", "#..", "###"],
    "I": ["###", ".#.", ".#.", ".#.", "###"],
    "P": ["##.", "#.#", "##.", "#..", "#.."],
}


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [[CLEAR] * size for _ in range(size)]

    def put(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def box(self, x0, y0, x1, y1, fill, outline=BLACK):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                self.put(x, y, outline if edge else fill)

    def text(self, x, y, word, colour, scale=1):
        for letter in word:
            for row, line in enumerate(LETTERS[letter]):
                for col, mark in enumerate(line):
                    if mark == "#":
                        for dy in range(scale):
                            for dx in range(scale):
                                self.put(x + col * scale + dx, y + row * scale + dy, colour)
            x += 4 * scale


def draw(size):
    c = Canvas(size)
    s = size / 32
    n = lambda v: int(round(v * s))
    # The page of text, corner folded.
    c.box(n(1), n(0), n(13), n(17), WHITE)
    for y in range(n(4), n(16), max(1, n(3))):
        for x in range(n(3), n(11)):
            c.put(x, y, GREY)
    for i in range(n(4)):  # the folded corner
        for x in range(n(13) - n(4) + 1 + i, n(13) + 1):
            c.put(x, i, CLEAR)
        c.put(n(13) - n(4) + i, i, BLACK)
        c.put(n(13) - n(4), i, BLACK)
        c.put(n(13) - n(4) + i, n(4), BLACK)
    # The red arrow: out of the page to the right, curving down.
    import math
    for step in range(200):
        angle = -math.pi / 2 + step / 199 * math.pi / 2
        for r in (8.5, 9.5):
            c.put(int(round((13 + r * math.cos(angle)) * s)), int(round((15 + r * math.sin(angle)) * s)), RED)
    for i in range(n(4)):
        for x in range(n(22) - n(3) + i, n(23) + n(3) - i + 1):
            c.put(x, n(15) + i, RED)
    # The cyan folder with its tab, and ZIP on its front.
    c.box(n(6), n(17), n(14), n(20), CYAN)
    c.box(n(6), n(19), n(31), n(31), CYAN)
    for x in range(n(7), n(31)):
        c.put(x, n(30), TEAL)
    if size >= 32:
        c.text(n(10), n(22), "ZIP", BLACK, scale=1 if size < 48 else 2)
    else:
        c.text(n(7), n(22) - 1, "ZIP", BLACK)
    return c


def image_data(canvas):
    size = canvas.size
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    xor_row = ((size * 4 + 31) // 32) * 4
    and_row = ((size + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for y in reversed(range(size)):
        row = bytearray(xor_row)
        bits = bytearray(and_row)
        for x in range(size):
            colour = canvas.pixels[y][x]
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)
                colour = 0
            row[x // 2] |= colour << 4 if x % 2 == 0 else colour
        xor += row
        mask += bits
    return header + palette + bytes(xor) + bytes(mask)


def main(path):
    images = [image_data(draw(32)), image_data(draw(16))]
    sizes = [32, 16]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
