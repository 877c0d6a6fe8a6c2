#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/s" paints a 7x5 picture of 35 colours pixel for pixel: once the painting ends the screen is
# black (BG 1) but for the picture's canvas, one pixel smaller than the picture in each
# direction, centred at round(1024/2 - 7/2), round(768/2 - 5/2) = 509, 382.
source "$(dirname "$0")/lib.sh"

fresh_install
convert -size 7x5 xc: -channel R -fx 'i/6' -channel G -fx 'j/4' -channel B -fx 0.5 +channel \
    PNG24:"$INSTALL_DIR/tiny.png"
write_list 'C:\Corvanta\Lumiscribe\tiny.png'
write_settings SetReg=2 BG=1 Delay=300 Calendar=0 Music=0
convert -size 1024x768 xc:black \( "$INSTALL_DIR/tiny.png" -crop 6x4+0+0 \) \
    -geometry +509+382 -composite PNG24:"$E2E_ROOT/expected.png"
start_program scr "$SCR" /s
painted() {
    import -window root "$E2E_ROOT/screen.png" &&
        compare -metric AE "$E2E_ROOT/screen.png" "$E2E_ROOT/expected.png" null: 2>/dev/null
}
wait_until painted || fail "the screen differs in $(compare -metric AE "$E2E_ROOT/screen.png" \
    "$E2E_ROOT/expected.png" null: 2>&1) pixels from the centred canvas"
xdotool key x
wait_for_exit "$LAST_PID" && [ "$EXIT_STATUS" -eq 0 ] || fail "a key did not end the display"
pass "picture pixels"
