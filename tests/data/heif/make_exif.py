#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a little-endian EXIF block (TIFF structure, no "Exif" header) holding an orientation
# tag and, when given, a DateTimeOriginal: make_exif.py <out> <orientation> [YYYY:MM:DD HH:MM:SS]
import struct
import sys

out, orientation = sys.argv[1], int(sys.argv[2])
date = sys.argv[3].encode() + b"\0" if len(sys.argv) > 3 else None

# IFD0 at 8: Orientation and the pointer to the EXIF IFD; the EXIF IFD after it.
ifd0_entries = 2
ifd0_size = 2 + 12 * ifd0_entries + 4
exif_ifd = 8 + ifd0_size
exif_entries = 1 if date else 0
exif_size = 2 + 12 * exif_entries + 4
values = exif_ifd + exif_size

block = b"II*\0" + struct.pack("<I", 8)
block += struct.pack("<H", ifd0_entries)
block += struct.pack("<HHIHH", 0x0112, 3, 1, orientation, 0)
block += struct.pack("<HHII", 0x8769, 4, 1, exif_ifd)
block += struct.pack("<I", 0)
block += struct.pack("<H", exif_entries)
if date:
    block += struct.pack("<HHII", 0x9003, 2, len(date), values)
block += struct.pack("<I", 0)
if date:
    block += date
open(out, "wb").write(block)
