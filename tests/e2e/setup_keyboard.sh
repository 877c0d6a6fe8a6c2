#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Setup dialog driven by the keyboard under a window manager: Enter does nothing unless a
# button has the focus; a typed sound-off time is not stored, however the editing ends; the
# arrow keys and the wheel choose times from the list, going on from the stored one; Tab
# reaches the delay bar, whose keys store its value.
source "$(dirname "$0")/lib.sh"
install_assets
start_window_manager
write_settings SetReg=2 SoundOff=30
write_list "$INSTALL_DIR/default.jpg"

start_lumiscribe /c
dialog=$(wait_for_window "Lumiscribe Screensaver") || fail "no Setup dialog appeared"
sleep 0.5
focus_window "$dialog"

# Nothing may open: the About box was the dialog's automatic default.
expect_no_box() {
    sleep 0.7
    local title
    for title in "Lumiscribe Pictures Screensaver" "Corvanta Lumiscribe" \
        "Corvanta Lumiscribe Pictures" "No File Warning"; do
        [ "$(count_windows "$title")" = 0 ] || fail "$1 opened the box \"$title\""
    done
    is_running "$LAST_PID" || fail "$1 ended the process"
}
xdotool key Return
expect_no_box "Enter after opening"
xdotool mousemove --window "$dialog" 300 100 click 1  # a click on the picture list
xdotool key Return KP_Enter
expect_no_box "Enter on the picture list"

# The sound-off box on the "Music" tab.
xdotool mousemove --window "$dialog" 92 16 click 1
sleep 0.5
soundoff_text() { xdotool mousemove --window "$dialog" 455 347 click 1; sleep 0.2; }
expect_soundoff() {
    sleep 0.3
    [ "$(setting SoundOff)" = "$1" ] || fail "$2: SoundOff is \"$(setting SoundOff)\", not \"$1\""
}
soundoff_text
xdotool key ctrl+a type 15
xdotool key Tab
expect_soundoff 30 "typing 15 and Tab"
soundoff_text
xdotool key ctrl+a type 45
xdotool key Return
expect_soundoff 30 "typing 45 and Enter"
expect_no_box "Enter in the sound-off box"
soundoff_text
xdotool key ctrl+a type 120
xdotool mousemove --window "$dialog" 92 16 click 1  # a click elsewhere
expect_soundoff 30 "typing 120 and a click elsewhere"

# The current item is still the stored "30".
soundoff_text
xdotool key Down
expect_soundoff 45 "Down from 30"
xdotool key Up Up
expect_soundoff 20 "Up twice from 45"
xdotool click 5  # one wheel notch down, over the box
expect_soundoff 30 "the wheel down from 20"

# Tab from the picture list reaches the delay bar on the "Options" page, whose keys store at
# once.
xdotool mousemove --window "$dialog" 30 16 click 1  # the "Options" tab
sleep 0.3
xdotool mousemove --window "$dialog" 300 100 click 1  # the focus on the picture list
sleep 0.3
for _ in 1 2 3 4 5 6 7 8 9; do xdotool key Tab; done  # four buttons, background, calendar,
sleep 0.3                                             # sensitivity, its box, delay
# Waits up to 5 s for "Delay" to read $1.
expect_delay() {
    local deadline=$(e2e_deadline 5)
    until [ "$(setting Delay)" = "$1" ] || [ $SECONDS -ge $deadline ]; do sleep 0.1; done
    [ "$(setting Delay)" = "$1" ] || fail "$2 on the delay bar stored Delay \"$(setting Delay)\""
}
xdotool key End
expect_delay 300 "End"
xdotool key Home Right
expect_delay 1 "Home and Right"

# On a focused button Enter clicks it: Close ends the process (the list holds a picture).
xdotool mousemove --window "$dialog" 560 430 mousedown 1  # focus Close without clicking it
xdotool mousemove --window "$dialog" 10 445 mouseup 1     # released away: no click
sleep 0.3
is_running "$LAST_PID" || fail "pressing and leaving Close clicked it"
xdotool key Return
wait_for_exit "$LAST_PID" 10 || fail "Enter on the focused Close button did not close the dialog"
pass "setup keyboard"
