#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Setup opened before the first full-screen start shows and keeps what the display will use:
# "/c" on an empty store writes the first-run values (the calendar off, "Delay" 5), White is
# chosen, Close; then "/s" keeps every value and shows the white background without the
# calendar strip.
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
[ "$(setting SetReg)" = 2 ] || fail "the Setup dialog did not mark the first run done"
[ "$(setting Calendar)" = 0 ] && [ "$(setting Delay)" = 5 ] && [ "$(setting MouseSen)" = 4 ] ||
    fail "Setup stored Calendar '$(setting Calendar)', Delay '$(setting Delay)' and MouseSen" \
        "'$(setting MouseSen)', not the first-run 0, 5 and 4"
cp "$SETTINGS_FILE" "$E2E_ROOT/after_setup.ini"

start_lumiscribe /s
wait_for_window Lumiscribe >/dev/null || fail "no display window"
[ "$(setting BGFile)" = "$INSTALL_DIR/bg.jpg" ] || fail "BGFile is '$(setting BGFile)'"

# The display uses the kept values and writes none: a white background and no calendar strip
# (which would be black at 92.2 % of the 768-pixel height: rows 708 to 732).
sleep 1.5
cmp -s "$SETTINGS_FILE" "$E2E_ROOT/after_setup.ini" || fail "the first start changed the settings"
screenshot "$E2E_ROOT/screen.png"
[ "$(pixel "$E2E_ROOT/screen.png" 5 5)" = "255,255,255" ] ||
    fail "the background is not white: $(pixel "$E2E_ROOT/screen.png" 5 5)"
[ "$(pixel "$E2E_ROOT/screen.png" 7 710)" = "255,255,255" ] ||
    fail "a calendar strip at 7,710: $(pixel "$E2E_ROOT/screen.png" 7 710)"
pass "setup then screen saver"
