#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/s" under a scale factor (QT_SCALE_FACTOR, or QT_SCREEN_SCALE_FACTORS as a scaled desktop
# sets it) draws in device pixels: the picture is painted pixel for pixel, centred on the
# whole 1024 x 768 screen, and the calendar strip with its caption lies inside the screen
# at 92.2 % of its height.
source "$(dirname "$0")/lib.sh"
install_assets

picture="$E2E_ROOT/a.png"
/usr/bin/convert -size 301x201 -depth 8 gradient:red-blue -fill yellow -draw "circle 150,100 150,40" \
    -fill black -draw "point 0,0" -draw "point 299,199" PNG24:"$picture"
/usr/bin/convert "$picture" -crop 300x200+0+0 +repage "$picture.canvas.png"
write_list "$picture"
write_settings SetReg=2 BG=0 Delay=60 Music=0 MouseSen=4 Calendar=1
# The canvas: the picture without its last column and row, at round(512 - 150.5), round(384 - 100.5).
area=300x200+362+284
strip=271x25+5+708

# Prints the yellow pixels of the caption in the strip as "count height" (the height of the
# rows that hold them).
caption_pixels() {
    /usr/bin/convert "$E2E_ROOT/screen.png" -crop "$strip" +repage -fuzz 25% -fill white \
        -opaque yellow -fill black +opaque white "$E2E_ROOT/caption.png"
    local count height
    count=$(/usr/bin/convert "$E2E_ROOT/caption.png" -format "%[fx:int(mean*w*h+0.5)]" info:)
    height=$(/usr/bin/convert "$E2E_ROOT/caption.png" -trim -format "%h" info: 2>/dev/null || echo 0)
    echo "$count $height"
}

check_scaled() {
    local description=$1
    wait_for_screen_area "$picture.canvas.png" "$area" ||
        fail "$description: the picture is not painted pixel for pixel at $area"
    [ "$(pixel "$E2E_ROOT/screen.png" 1023 5)" = "255,255,255" ] ||
        fail "$description: the right-hand edge of the screen is not the white background"
    [ "$(pixel "$E2E_ROOT/screen.png" 7 710)" = "0,0,0" ] &&
        [ "$(pixel "$E2E_ROOT/screen.png" 274 731)" = "0,0,0" ] ||
        fail "$description: the calendar strip is not at $strip"
    [ "$(pixel "$E2E_ROOT/screen.png" 7 735)" = "255,255,255" ] ||
        fail "$description: the calendar strip is taller than 25 pixels"
    local count height
    read -r count height < <(caption_pixels)
    [ "$count" -gt 50 ] || fail "$description: no caption in the strip ($count yellow pixels)"
    [ "$height" -le 17 ] || fail "$description: the caption is $height pixels high"
    pass "$description"
}

QT_SCALE_FACTOR=2 start_lumiscribe /s
wait_for_window Lumiscribe >/dev/null || fail "no display window"
check_scaled "QT_SCALE_FACTOR=2"
kill "$LAST_PID"
wait_for_exit "$LAST_PID" 5 || fail "the display did not end"

QT_SCREEN_SCALE_FACTORS=1.5 start_lumiscribe /s
wait_for_window Lumiscribe >/dev/null || fail "no display window"
check_scaled "QT_SCREEN_SCALE_FACTORS=1.5"
