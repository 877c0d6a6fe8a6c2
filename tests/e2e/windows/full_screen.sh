#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/s" covers the whole screen, above other windows, with a window that a key ends with
# status 0; a second "/s" while it runs ends at once.
source "$(dirname "$0")/lib.sh"

start_program host "$HOST_WINDOW" host 200 150 'Z:\nonexistent'
wait_for_window "Preview Host" >/dev/null || fail "no host window"

start_program scr "$SCR" /s
display=$LAST_PID
window=$(wait_for_window Lumiscribe) || fail "no full-screen window"
xwininfo -id "$window" | grep -q -- "-geometry 1024x768+0+0" || fail "the window does not cover the screen"
covered() {
    import -window root "$E2E_ROOT/screen.png" &&
        [ "$(pixel "$E2E_ROOT/screen.png" 100 100)" = "0,0,0" ] &&
        [ "$(pixel "$E2E_ROOT/screen.png" 1023 767)" = "0,0,0" ]
}
wait_until covered || fail "the display does not cover the host window"

start_program second "$SCR" /s
wait_for_exit "$LAST_PID" || fail "a second /s kept running"
kill -0 "$display" 2>/dev/null || fail "the second /s ended the first"

xdotool mousemove 512 384 key x
wait_for_exit "$display" || fail "a key did not end the display"
[ "$EXIT_STATUS" -eq 0 ] || fail "the display ended with status $EXIT_STATUS"
pass "full screen"
