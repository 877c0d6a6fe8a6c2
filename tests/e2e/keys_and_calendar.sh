#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The music keys keep the screen saver running, space paints the next picture at once,
# another key ends it; with the calendar on, the caption shows near the bottom-left corner.
source "$(dirname "$0")/lib.sh"
install_assets

pictures="$E2E_ROOT/pictures"
mkdir -p "$pictures"
/usr/bin/convert -size 200x150 -depth 8 gradient:orange-purple PNG24:"$pictures/a.png"
/usr/bin/convert -size 150x200 -depth 8 gradient:cyan-black PNG24:"$pictures/b.png"
write_list "$pictures/a.png" "$pictures/b.png"
write_settings SetReg=2 BG=1 Delay=300 Music=1 MouseSen=4 Calendar=1

start_lumiscribe /s
window=$(wait_for_window Lumiscribe) || fail "no display window"
/usr/bin/convert "$pictures/a.png" -crop 199x149+0+0 +repage "$pictures/a.canvas.png"
wait_for_screen_area "$pictures/a.canvas.png" "199x149+412+309" || fail "picture 0 not painted"

# The caption: yellow text on the black strip at 92.2 % of the height (768 - 59.9 = 708).
found_yellow=$(/usr/bin/convert "$E2E_ROOT/screen.png" -crop 271x25+5+708 +repage \
    -fill black +opaque "rgb(255,255,0)" -format "%[fx:mean>0?1:0]" info:)
[ "$found_yellow" = 1 ] || fail "no yellow caption on the strip"
[ "$(pixel "$E2E_ROOT/screen.png" 6 709)" = "0,0,0" ] || fail "the strip is not black"
cp "$E2E_ROOT/screen.png" "${E2E_ARTIFACTS:-$E2E_ROOT}/calendar.png" 2>/dev/null || true

xdotool windowfocus "$window" 2>/dev/null || true
for key in n q s; do
    xdotool key "$key"
    sleep 0.3
    is_running "$LAST_PID" || fail "'$key' ended the screen saver"
done

/usr/bin/convert "$pictures/b.png" -crop 149x199+0+0 +repage "$pictures/b.canvas.png"
xdotool key space
wait_for_screen_area "$pictures/b.canvas.png" "149x199+437+284" 10 || fail "space did not paint the next picture"

xdotool key x
wait_for_exit "$LAST_PID" 5 || fail "'x' did not end the screen saver"
[ "$(cat "$STATE_DIR/screensaver-running")" = 0 ] || fail "still marked as running"
pass "keys and calendar"
