#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes an icon file that holds the given PNG pictures as they are (Windows Vista and later
read PNG images inside .ico files).

    make_ico.py out.ico 16.png 32.png ...

The file is a 6-byte header (reserved 0, type 1, count), one 16-byte entry per picture
(width and height, 0 for 256, no palette, 1 plane, 32 bits, byte size, offset), then the
pictures' bytes in the order of the entries."""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("make_ico.py: not a PNG file")
    return struct.unpack(">II", data[16:24])


def main(out, pngs):
    images = [open(path, "rb").read() for path in pngs]
    offset = 6 + 16 * len(images)
    header = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    for data in images:
        width, height = png_size(data)
        if width > 256 or height > 256:
            raise SystemExit("make_ico.py: a picture larger than 256 pixels a side")
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                               len(data), offset)
        offset += len(data)
    with open(out, "wb") as file:
        file.write(header + entries + b"".join(images))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        raise SystemExit("usage: make_ico.py out.ico picture.png...")
    main(sys.argv[1], sys.argv[2:])
