#!/usr/bin/env bash
# The first full-screen start after the Setup dialog keeps what the user chose there: "/c"
# on an empty store, White chosen, Close; then "/s" writes only the first-run values of the
# keys that hold none, shows the white background and the calendar strip, and marks the
# first run done.
source "$(dirname "$0")/lib.sh"
install_assets

start_lumiscribe /c
dialog=$(wait_for_window "Lumiscribe Screensaver") || fail "no Setup dialog appeared"
sleep 0.5  # let the dialog finish loading
xdotool mousemove --window "$dialog" 21 312 click 1  # the "White" option button
for _ in $(seq 1 20); do
    [ "$(setting BG)" = 0 ] && break
    sleep 0.1
done
[ "$(setting BG)" = 0 ] || fail "choosing White did not store BG 0"
xdotool mousemove --window "$dialog" 560 430 click 1  # Close
question=$(wait_for_window "No File Warning") || fail "Close did not ask about the empty list"
xdotool windowactivate --sync "$question" 2>/dev/null || xdotool windowfocus --sync "$question"
xdotool key y
wait_for_exit "$LAST_PID" 10 || fail "the Setup dialog did not close"
[ -z "$(setting SetReg)" ] || fail "the Setup dialog wrote SetReg"
chosen_calendar=$(setting Calendar)
chosen_delay=$(setting Delay)
[ "$chosen_calendar" = 1 ] && [ "$chosen_delay" = 1 ] ||
    fail "Setup stored Calendar '$chosen_calendar' and Delay '$chosen_delay', not 1 and 1"
[ -z "$(setting MouseSen)" ] || fail "the test expects MouseSen to be missing after Setup"

start_lumiscribe /s
wait_for_window Lumiscribe >/dev/null || fail "no display window"
for _ in $(seq 1 50); do
    [ "$(setting SetReg)" = 2 ] && break
    sleep 0.1
done
[ "$(setting SetReg)" = 2 ] || fail "the first start did not write SetReg 2"
[ "$(setting BG)" = 0 ] || fail "the first start replaced BG 0 with $(setting BG)"
[ "$(setting Calendar)" = 1 ] || fail "the first start replaced Calendar 1 with $(setting Calendar)"
[ "$(setting Delay)" = 1 ] || fail "the first start replaced Delay 1 with $(setting Delay)"
# Keys the dialog left empty get their first-run values.
[ "$(setting MouseSen)" = 4 ] || fail "MouseSen is '$(setting MouseSen)', not the first-run 4"
[ "$(setting SoundOff)" = 0 ] || fail "SoundOff is '$(setting SoundOff)', not the first-run 0"
[ "$(setting BGFile)" = "$INSTALL_DIR/bg.jpg" ] || fail "BGFile is '$(setting BGFile)'"

# The display uses the kept values: a white background and the calendar strip (black, at
# 92.2 % of the 768-pixel height: rows 708 to 732).
sleep 1.5
screenshot "$E2E_ROOT/screen.png"
[ "$(pixel "$E2E_ROOT/screen.png" 5 5)" = "255,255,255" ] ||
    fail "the background is not white: $(pixel "$E2E_ROOT/screen.png" 5 5)"
[ "$(pixel "$E2E_ROOT/screen.png" 7 710)" = "0,0,0" ] ||
    fail "no calendar strip at 7,710: $(pixel "$E2E_ROOT/screen.png" 7 710)"
pass "setup then screen saver"
