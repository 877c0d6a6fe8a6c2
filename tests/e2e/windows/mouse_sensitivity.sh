#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# MouseSen from the registry decides which mouse move over the picture ends "/s" with status
# 0. A value that is no number keeps the display's own MouseSen of 0, and then no move ends
# it: the pointer is shown that value's display, moved ten times, and only the key after the
# moves ends it. X delivers the moves before the key, so a display that a move ended would be
# gone before the key; a display still running after the key would fail the key's wait.
source "$(dirname "$0")/lib.sh"

while read -r sensitivity ending_move; do
    fresh_install
    convert -size 400x300 xc:red "$INSTALL_DIR/a.png"
    write_list 'C:\Corvanta\Lumiscribe\a.png'
    write_settings SetReg=2 BG=1 Delay=300 Music=0 Calendar=0 "MouseSen=$sensitivity"
    xdotool mousemove 400 384
    start_program scr "$SCR" /s
    wait_until area_is 1x1+512+384 FF0000 || fail "MouseSen $sensitivity: no picture"
    for moved in $(seq 1 10); do
        xdotool mousemove $((400 + moved * 10)) 384
        if [ "$moved" = "$ending_move" ]; then
            wait_for_exit "$LAST_PID" || fail "MouseSen $sensitivity: move $moved did not end it"
            break
        fi
        # A move before the ending one leaves the display running once X has it.
        xwininfo -root >/dev/null
        kill -0 "$LAST_PID" 2>/dev/null || fail "MouseSen $sensitivity: move $moved ended it"
    done
    if [ "$ending_move" = none ]; then
        xdotool key x
        wait_for_exit "$LAST_PID" || fail "MouseSen $sensitivity: the key did not end it"
    fi
    [ "$EXIT_STATUS" -eq 0 ] || fail "MouseSen $sensitivity: status $EXIT_STATUS"
done <<'CASES'
2 2
x none
CASES
pass "mouse sensitivity"
