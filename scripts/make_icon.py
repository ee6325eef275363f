#!/usr/bin/env python3
"""Draws the program's 16 x 16, 32-bit icon (a white "V" on a blue rounded square) as an .ico file of 1150 bytes."""
import struct
import sys

SIZE = 16


def pixel(x, y):
    corner = (x in (0, SIZE - 1)) and (y in (0, SIZE - 1))
    if corner:
        return (0, 0, 0, 0)
    # The two strokes of the V, from the top corners to the bottom middle.
    for cx in (3 + (y - 3) * 5 / 10, 12 - (y - 3) * 5 / 10):
        if 3 <= y <= 12 and abs(x + 0.5 - (cx + 0.5)) <= 1.0:
            return (255, 255, 255, 255)
    shade = 200 - y * 6
    return (shade // 3, shade // 2 + 40, 230, 255)


def main(out):
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a) for (r, g, b, a) in (pixel(x, y) for x in range(SIZE))))
    xor = b"".join(rows)
    mask = b"\x00" * (4 * SIZE)  # AND mask rows are padded to 32 bits; alpha carries the transparency
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    data = directory + image
    assert len(data) == 1150, len(data)
    open(out, "wb").write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/app.ico")
