#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Phone photos from a folder entry: a ".HEIC" and a ".avif" show, each with the day it was
# taken in the calendar caption's yellow on a black strip in the bottom-right corner, beside
# the calendar strip, and the date changes with the picture.
source "$(dirname "$0")/lib.sh"
install_assets

data="$(dirname "$0")/../data/heif"
phone="$E2E_ROOT/pictures/Phone"
mkdir -p "$phone"
cp "$data/dated.heic" "$phone/IMG_0001.HEIC"  # 64 x 48, taken on 2021-03-02
cp "$data/turned.avif" "$phone/photo.avif"    # 48 x 64 once turned, taken on 2019-07-14
write_list "$phone/"
write_settings SetReg=2 BG=1 Delay=300 Music=0 MouseSen=4 Calendar=1 PhotoDate=1

# The strips stand at 92.2 % of the height (768 - 59.9 = 708), 25 pixels high; the calendar's
# ends at x 275, the date's at x 1018.
calendar_area=271x25+5+708
date_area=500x25+519+708

yellow_pixels() {
    /usr/bin/convert "$E2E_ROOT/screen.png" -crop "$1" +repage -fill black +opaque "rgb(255,255,0)" \
        -fill white -opaque "rgb(255,255,0)" -format "%[fx:int(mean*w*h+0.5)]" info:
}

# Waits until the date strip holds yellow text other than in image $1 (none: any), then
# keeps the strip's pixels as $2.
wait_for_date() {
    local before=$1 after=$2 deadline=$(e2e_deadline 120)
    while [ $SECONDS -lt $deadline ]; do
        screenshot "$E2E_ROOT/screen.png"
        /usr/bin/convert "$E2E_ROOT/screen.png" -crop "$date_area" +repage "$after"
        if [ "$(yellow_pixels "$date_area")" -gt 20 ] &&
            { [ -z "$before" ] ||
                [ "$(/usr/bin/compare -metric AE "$before" "$after" null: 2>&1)" != 0 ]; }; then
            return 0
        fi
        sleep 0.3
    done
    return 1
}

# Waits until channel $3 (1 red, 2 green) of pixel ($1, $2) is above 200: the photo painted.
wait_for_channel() {
    local deadline=$(e2e_deadline 120) colour
    while [ $SECONDS -lt $deadline ]; do
        screenshot "$E2E_ROOT/screen.png"
        colour=$(pixel "$E2E_ROOT/screen.png" "$1" "$2")
        [ "$(echo "$colour" | cut -d, -f"$3")" -gt 200 ] && return 0
        sleep 0.3
    done
    return 1
}

start_lumiscribe /s
window=$(wait_for_window Lumiscribe) || fail "no display window"
wait_for_date "" "$E2E_ROOT/date1.png" || fail "no date shows for IMG_0001.HEIC"
[ "$(yellow_pixels "$calendar_area")" -gt 20 ] || fail "no calendar caption beside the date"
# Nothing of the date strip stands left of its own area: the gap to the calendar strip and
# the strip's left part stay the picture's black background.
[ "$(yellow_pixels 240x25+279+708)" = 0 ] || fail "the date reaches towards the calendar"
# The photo: red top-left quadrant around the screen's middle (64 x 48 centred at 480, 360).
wait_for_channel 496 372 1 || fail "IMG_0001.HEIC not painted"
cp "$E2E_ROOT/screen.png" "${E2E_ARTIFACTS:-$E2E_ROOT}/photo_date.png" 2>/dev/null || true

xdotool windowfocus "$window" 2>/dev/null || true
xdotool key space
wait_for_date "$E2E_ROOT/date1.png" "$E2E_ROOT/date2.png" ||
    fail "the date did not change with the picture"
# photo.avif, turned upright once: 48 x 64 with green at its top-left quadrant.
wait_for_channel 500 368 2 || fail "photo.avif not painted turned upright"

xdotool key x
wait_for_exit "$LAST_PID" 5 || fail "'x' did not end the screen saver"
pass "photo date"
