#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/s" in a Wayland session of two outputs covers both: the display on the primary (left)
# one and the background colour on the other, also when the compositor's focus was on the
# other output when the screen saver started.
source "$(dirname "$0")/wayland_lib.sh"
install_assets
wayland_start 2 800x600
wayland_msg focus output HEADLESS-2 >/dev/null

picture="$E2E_ROOT/a.png"
/usr/bin/convert -size 301x201 -depth 8 gradient:red-blue -fill yellow -draw "circle 150,100 150,40" \
    PNG24:"$picture"
/usr/bin/convert -size 800x600 xc:white \( "$picture" -crop 300x200+0+0 +repage \) \
    -geometry +250+200 -composite PNG24:"$E2E_ROOT/display.png"
/usr/bin/convert -size 800x600 xc:white PNG24:"$E2E_ROOT/white.png"
write_list "$picture"
write_settings SetReg=2 BG=0 Delay=60 Music=0 MouseSen=1 Calendar=0

start_lumiscribe /s
wayland_wait_for_view Lumiscribe || fail "no display window appeared: $(cat "$E2E_ROOT/out.1.log")"
wait_for_screen_area "$E2E_ROOT/display.png" 800x600+0+0 20 ||
    fail "the left-hand output does not show the display: $(cat "$E2E_ROOT/out.1.log")"
wait_for_screen_area "$E2E_ROOT/white.png" 800x600+800+0 10 ||
    fail "the right-hand output is not covered in the background colour:" \
        "$(/usr/bin/convert "$E2E_ROOT/area.png" -format %c histogram:info: | sort -rn | head -n 3)"
pass "both outputs covered"

wayland_key x
wait_for_exit "$LAST_PID" 5 || fail "a key did not end the screen saver"
pass "a key ends it"
