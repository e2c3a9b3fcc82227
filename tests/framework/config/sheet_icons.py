#!/usr/bin/env python3
"""Writes the test savers' icons: one solid colour each, at 16 and 32 pixels, 32 bits per pixel,
so that a test can tell by its pixels which module an icon came from."""
import os
import struct
import sys

COLOURS = {"red": (0xE0, 0x10, 0x10), "green": (0x10, 0xC0, 0x20), "blue": (0x10, 0x30, 0xE0)}
SIZES = (16, 32)


def image(size, rgb):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    red, green, blue = rgb
    pixels = bytes((blue, green, red, 0xFF)) * (size * size)
    mask_row = ((size + 31) // 32) * 4
    return header + pixels + bytes(mask_row * size)


def icon(rgb):
    images = [image(size, rgb) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + b"".join(images)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, rgb in COLOURS.items():
        with open(os.path.join(folder, name + ".ico"), "wb") as out:
            out.write(icon(rgb))


if __name__ == "__main__":
    main()
