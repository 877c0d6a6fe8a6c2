#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/s" with a List.txt of CR LF lines that names a picture, a missing file, a folder of two
# pictures (shown in natural order: 9 before 10), a damaged picture and one more picture: each
# space after a painting shows the next good picture, skipping the missing and damaged ones,
# and the list wraps round. Each picture is one colour and one size, so that the canvas
# region holding only that colour means its painting has ended.
source "$(dirname "$0")/lib.sh"

fresh_install
mkdir "$INSTALL_DIR/folder"
convert -size 100x80 xc:red "$INSTALL_DIR/first.png"
convert -size 120x90 xc:lime "$INSTALL_DIR/folder/p9.bmp"
convert -size 140x100 xc:blue "$INSTALL_DIR/folder/p10.png"
convert -size 160x110 xc:yellow "$INSTALL_DIR/last.png"
head -c 2000 /dev/urandom | cat <(printf '\x89PNG\r\n\x1a\n') - >"$INSTALL_DIR/damaged.png"
write_list 'C:\Corvanta\Lumiscribe\first.png' 'C:\Corvanta\Lumiscribe\missing.png' \
    'C:\Corvanta\Lumiscribe\folder' 'C:\Corvanta\Lumiscribe\damaged.png' \
    'C:\Corvanta\Lumiscribe\last.png'
write_settings SetReg=2 BG=1 Delay=300 Music=0 Calendar=0 MouseSen=0
start_program scr "$SCR" /s
first=1
while read -r width height colour; do
    [ "$first" = 1 ] || xdotool key space
    first=0
    area="$((width - 1))x$((height - 1))+$((512 - width / 2))+$((384 - height / 2))"
    wait_until area_is "$area" "$colour" || fail "no $colour picture at $area"
done <<'SEQUENCE'
100 80 FF0000
120 90 00FF00
140 100 0000FF
160 110 FFFF00
100 80 FF0000
SEQUENCE
xdotool key x
wait_for_exit "$LAST_PID" && [ "$EXIT_STATUS" -eq 0 ] || fail "a key did not end the display"
pass "picture list"
