#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the HEIF test pictures of this folder (kept in the repository, a few hundred bytes
# each) with heif-enc (libheif-examples) and avifenc (libavif-bin):
#   quadrants.heic, quadrants.avif: 64 x 48, red, green / blue, white quadrants;
#   turned.avif: the same picture stored unturned with a rotation of 90 degrees anticlockwise
#     (irot), and an EXIF orientation of 6 (90 degrees clockwise) beside it that a decoder must
#     not apply on top; its EXIF DateTimeOriginal is 2019:07:14 10:20:30;
#   dated.heic: quadrants.heic with the EXIF DateTimeOriginal 2021:03:02 08:00:00;
#   alpha.avif, ten_bit.avif: 16 x 12, red at half opacity at the top to opaque blue at the
#     bottom, with 8 and with 10 bits a channel.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 32x24 xc:'#ff0000' xc:'#00ff00' +append "$work/top.png"
convert -size 32x24 xc:'#0000ff' xc:'#ffffff' +append "$work/bottom.png"
convert "$work/top.png" "$work/bottom.png" -append -depth 8 -type TrueColor PNG24:"$work/q.png"
heif-enc -q 90 -o quadrants.heic "$work/q.png"
avifenc -s 8 --min 10 --max 10 -y 444 "$work/q.png" quadrants.avif
./make_exif.py "$work/turned.exif" 6 "2019:07:14 10:20:30"
avifenc -s 8 --min 10 --max 10 -y 444 --irot 1 --exif "$work/turned.exif" "$work/q.png" turned.avif
./make_exif.py "$work/dated.exif" 1 "2021:03:02 08:00:00"
convert "$work/q.png" -quality 95 "$work/q.jpg"
# The EXIF block in an APP1 segment after the start marker, for heif-enc to carry over.
python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
exif = open(work + "/dated.exif", "rb").read()
payload = b"Exif\0\0" + exif
segment = b"\xff\xe1" + (len(payload) + 2).to_bytes(2, "big") + payload
jpeg = open(work + "/q.jpg", "rb").read()
open(work + "/dated.jpg", "wb").write(jpeg[:2] + segment + jpeg[2:])
PY
heif-enc -q 90 -o dated.heic "$work/dated.jpg"
convert -size 16x12 gradient:'#ff000080-#0000ffff' -define png:color-type=6 "$work/alpha.png"
avifenc -s 8 "$work/alpha.png" alpha.avif
avifenc -s 8 -d 10 -y 420 "$work/alpha.png" ten_bit.avif
ls -l ./*.heic ./*.avif
