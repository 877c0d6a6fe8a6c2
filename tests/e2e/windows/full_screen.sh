#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/s" covers the whole screen, above other windows, with a window that a click, a key or
# mouse moves end with status 0. A second "/s" while it runs ends at once, unless a "Display
# Properties" window is open; a start without arguments always comes up.
source "$(dirname "$0")/lib.sh"

fresh_install
start_program host "$HOST_WINDOW" host "Preview Host" 200 150 'Z:\nonexistent'
wait_for_window "Preview Host" >/dev/null || fail "no host window"

start_program scr "$SCR" /s
displays=("$LAST_PID")
window=$(wait_for_window Lumiscribe) || fail "no full-screen window"
xwininfo -id "$window" | grep -q -- "-geometry 1024x768+0+0" || fail "it does not cover the screen"
# Black where the host window is and at the far corner of the screen.
covered() {
    import -window root "$E2E_ROOT/screen.png" && [ "$(convert "$E2E_ROOT/screen.png" -format \
        '%[fx:p{100,100}.intensity + p{1023,767}.intensity]' info:)" = 0 ]
}
wait_until covered || fail "the display does not cover the host window"

start_program second "$SCR" /s
wait_for_exit "$LAST_PID" || fail "a second /s kept running"
start_program empty "$SCR"
displays+=("$LAST_PID")
wait_for_window Lumiscribe 2 >/dev/null || fail "a start without arguments was refused"
start_program properties "$HOST_WINDOW" host "Display Properties" 100 100 'Z:\nonexistent'
wait_for_window "Display Properties" >/dev/null || fail "no Display Properties window"
start_program third "$SCR" /s
displays+=("$LAST_PID")
wait_for_window Lumiscribe 3 >/dev/null || fail "/s was refused beside Display Properties"

# Each click ends the display under the pointer, with status 0.
xdotool mousemove 512 384
for left in 2 1 0; do
    xdotool click 1
    wait_until eval '[ $(xdotool search --onlyvisible --name "^Lumiscribe$" | wc -l) -eq $left ]' ||
        fail "a click did not end a display"
done
for display in "${displays[@]}"; do wait "$display" || fail "a display ended with $?"; done

# A key ends the display that has the focus.
start_program scr "$SCR" /s
wait_for_window Lumiscribe >/dev/null || fail "no full-screen window"
xdotool key x
wait_for_exit "$LAST_PID" && [ "$EXIT_STATUS" -eq 0 ] || fail "a key did not end the display"

# A display also ends, with status 0, on the fourth mouse move over the picture that changes
# the pointer's position.
fresh_install
convert -size 400x300 xc:red "$INSTALL_DIR/a.png"
write_list 'C:\Corvanta\Lumiscribe\a.png'
xdotool mousemove 400 384
start_program scr "$SCR" /s
wait_for_window Lumiscribe >/dev/null || fail "no full-screen window"
red_in_middle() {
    import -window root "$E2E_ROOT/screen.png" && [ "$(convert "$E2E_ROOT/screen.png" -format \
        '%[hex:p{512,384}]' info:)" = FF0000 ]
}
wait_until red_in_middle || fail "the picture was not painted"
moved=0
move() {
    moved=$((moved + 1)) && xdotool mousemove $((400 + moved * 10)) 384 &&
        ! kill -0 "$LAST_PID" 2>/dev/null
}
wait_until move || fail "mouse moves did not end the display"
[ "$moved" -ge 4 ] || fail "the display ended on mouse move $moved"
wait_for_exit "$LAST_PID" && [ "$EXIT_STATUS" -eq 0 ] || fail "the mouse ended it with $EXIT_STATUS"
pass "full screen"
