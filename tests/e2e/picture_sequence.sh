#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/s" with a list of three pictures: each is laser-painted centred on the background,
# pixel for pixel, and after Delay seconds the next one follows.
source "$(dirname "$0")/lib.sh"
install_assets

pictures="$E2E_ROOT/pictures"
mkdir -p "$pictures"
/usr/bin/convert -size 300x200 -depth 8 gradient:red-blue -fill yellow -draw "circle 150,100 150,40" PNG24:"$pictures/a.png"
/usr/bin/convert -size 201x301 -depth 8 gradient:green-white -fill black -draw "rectangle 20,20 80,280" PNG24:"$pictures/b.png"
/usr/bin/convert -size 120x90 -depth 8 plasma:fractal -seed 7 PNG24:"$pictures/c.png"
write_list "$pictures/a.png" "$pictures/b.png" "$pictures/c.png"
write_settings SetReg=2 BG=0 Delay=2 Music=0 MouseSen=4

start_lumiscribe /s
wait_for_window Lumiscribe >/dev/null || fail "no display window"
area=$(expected_area "$pictures/a.png")
wait_for_screen_area "$pictures/a.png.canvas.png" "$area" || fail "picture 0 is not painted at $area"
[ "$(pixel "$E2E_ROOT/screen.png" 5 5)" = "255,255,255" ] || fail "the background is not white"
cp "$E2E_ROOT/screen.png" "$E2E_ROOT/first.png"

area=$(expected_area "$pictures/b.png")
wait_for_screen_area "$pictures/b.png.canvas.png" "$area" 15 || fail "picture 1 did not follow"
area=$(expected_area "$pictures/c.png")
wait_for_screen_area "$pictures/c.png.canvas.png" "$area" 15 || fail "picture 2 did not follow"
area=$(expected_area "$pictures/a.png")
wait_for_screen_area "$pictures/a.png.canvas.png" "$area" 15 || fail "the list did not wrap to picture 0"
is_running "$LAST_PID" || fail "the display ended"
pass "picture sequence"
