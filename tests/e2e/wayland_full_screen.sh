#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/s" in a Wayland session (WAYLAND_DISPLAY set, no X server) runs on Qt's wayland platform:
# one window over the whole output, the picture painted pixel for pixel at its centre on the
# background colour and no cursor where the pointer rests, marked as a running screen saver;
# a key ends it at once. On an output that the compositor scales by 2, the display covers the
# whole output all the same, each picture pixel a block of 2 x 2.
source "$(dirname "$0")/wayland_lib.sh"
install_assets
wayland_start 1 1024x768
wayland_pointer_at 100 100  # beside the picture, where it ends nothing

picture="$E2E_ROOT/a.png"
/usr/bin/convert -size 301x201 -depth 8 gradient:red-blue -fill yellow -draw "circle 150,100 150,40" \
    PNG24:"$picture"
/usr/bin/convert -size 1024x768 xc:white \( "$picture" -crop 300x200+0+0 +repage \) \
    -geometry +362+284 -composite PNG24:"$E2E_ROOT/expected.png"
write_list "$picture"
write_settings SetReg=2 BG=0 Delay=60 Music=0 MouseSen=1 Calendar=0

start_lumiscribe /s
wayland_wait_for_view Lumiscribe || fail "no display window appeared: $(cat "$E2E_ROOT/out.1.log")"
wait_for_screen_area "$E2E_ROOT/expected.png" 1024x768+0+0 20 ||
    fail "the output does not show the picture centred on the background, without a cursor:" \
        "$(/usr/bin/compare -metric AE "$E2E_ROOT/area.png" "$E2E_ROOT/expected.png" null: 2>&1)" \
        "pixels differ; $(cat "$E2E_ROOT/out.1.log")"
[ "$(cat "$STATE_DIR/screensaver-running")" = 1 ] || fail "not marked as a running screen saver"
pass "the picture, pixel for pixel, over the whole output"

wayland_key x
wait_for_exit "$LAST_PID" 5 || fail "a key did not end the screen saver"
[ "$(cat "$STATE_DIR/screensaver-running")" = 0 ] || fail "still marked as a running screen saver"
pass "a key ends it"

wayland_msg output HEADLESS-1 scale 2 >/dev/null
/usr/bin/convert -size 1024x768 xc:white \( "$picture" -crop 300x200+0+0 +repage -sample 200% \) \
    -geometry +212+184 -composite PNG24:"$E2E_ROOT/scaled.png"
start_lumiscribe /s
wait_for_screen_area "$E2E_ROOT/scaled.png" 1024x768+0+0 20 ||
    fail "the output at scale 2 does not show the picture doubled at its centre:" \
        "$(/usr/bin/compare -metric AE "$E2E_ROOT/area.png" "$E2E_ROOT/scaled.png" null: 2>&1)" \
        "pixels differ; $(cat "$E2E_ROOT/out.1.log")"
pass "the whole output at scale 2"
