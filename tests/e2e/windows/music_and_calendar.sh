#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# With music on and no MIDI device, "/s" still paints its picture and a key ends it with
# status 0; with the calendar on, yellow text shows on the strip at left 5..276 and top
# round(768 - 768 * 0.078) = 708.
source "$(dirname "$0")/lib.sh"

fresh_install
convert -size 200x150 xc:red "$INSTALL_DIR/a.png"
write_list 'C:\Corvanta\Lumiscribe\a.png'
write_settings SetReg=2 BG=1 Delay=300 Music=1 Calendar=1 MIDI1=1
start_program scr "$SCR" /s
wait_until area_is 199x149+412+309 FF0000 || fail "the picture was not painted"
yellow_on_strip() {
    import -window root "$E2E_ROOT/screen.png" && convert "$E2E_ROOT/screen.png" \
        -crop 272x25+5+708 +repage -unique-colors txt: | grep -qi '#FFFF00'
}
wait_until yellow_on_strip || fail "no yellow text on the calendar strip"
xdotool key x
wait_for_exit "$LAST_PID" && [ "$EXIT_STATUS" -eq 0 ] || fail "a key did not end the display"
pass "music and calendar"
