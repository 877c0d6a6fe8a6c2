#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# MouseSen moves over the canvas end the screen saver, and so does a click; the screen
# saver is then no longer marked as running.
source "$(dirname "$0")/lib.sh"
install_assets
write_settings SetReg=2 BG=1 Delay=5 Music=0 MouseSen=4

start_lumiscribe /s
wait_for_window Lumiscribe >/dev/null || fail "no display window"
sleep 1
for step in 1 2 3; do
    xdotool mousemove $((400 + step * 10)) 300
    sleep 0.2
done
is_running "$LAST_PID" || fail "three moves ended the screen saver"
xdotool mousemove 450 320
wait_for_exit "$LAST_PID" 5 || fail "the fourth move did not end the screen saver"
[ "$(cat "$STATE_DIR/screensaver-running")" = 0 ] || fail "still marked as running"

start_lumiscribe /s
wait_for_window Lumiscribe >/dev/null || fail "no display window"
sleep 1
xdotool click 1
wait_for_exit "$LAST_PID" 5 || fail "a click did not end the screen saver"
[ "$(cat "$STATE_DIR/screensaver-running")" = 0 ] || fail "still marked as running"
pass "mouse ends"
