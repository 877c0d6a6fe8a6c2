#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/c" shows the Setup dialog with the "Options" tab in front; it loads the settings (on an
# empty store, the first-run values), and Close (after the empty-list question) ends the
# process.
source "$(dirname "$0")/lib.sh"
install_assets

start_lumiscribe /c
dialog=$(wait_for_window "Lumiscribe Screensaver") || fail "no Setup dialog appeared"
[ "$(xdotool getwindowname "$dialog")" = "Lumiscribe Screensaver" ] || fail "wrong title"
eval "$(xdotool getwindowgeometry --shell "$dialog")"
[ "${WIDTH}x${HEIGHT}" = 604x455 ] || fail "the dialog is ${WIDTH}x${HEIGHT}, not 604x455"
sleep 0.5  # let the dialog finish painting

# A picture of the dialog for a person to look at.
artifacts=${E2E_ARTIFACTS:-$(cd "$(dirname "$LUMISCRIBE")/.." && pwd)/Testing}
mkdir -p "$artifacts"
shot="$artifacts/setup_dialog.png"
/usr/bin/import -window "$dialog" "$shot"
echo "screenshot: $shot"

# The navy picture list shows only on the "Options" tab; the Close button's face is pale
# yellow.
[ "$(pixel "$shot" 300 150)" = "0,0,128" ] || fail "no navy list at 300,150: $(pixel "$shot" 300 150)"
[ "$(pixel "$shot" 527 418)" = "255,255,192" ] ||
    fail "Close is not pale yellow at 527,418: $(pixel "$shot" 527 418)"

# The "Music" tab, for a person to look at.
xdotool mousemove --window "$dialog" 92 16 click 1
sleep 0.5
/usr/bin/import -window "$dialog" "$artifacts/setup_dialog_music.png"
echo "screenshot: $artifacts/setup_dialog_music.png"
[ "$(pixel "$artifacts/setup_dialog_music.png" 300 150)" != "0,0,128" ] ||
    fail "the Music tab did not come to the front"

# An empty store gets the first-run values before the dialog loads them.
[ "$(setting SetReg)" = 2 ] || fail "SetReg was not written at load"
[ "$(setting BG)" = 3 ] || fail "BG is \"$(setting BG)\", not the first-run 3"
[ "$(setting Music)" = 1 ] || fail "Music was not written at load"

# Close with an empty list asks first; No keeps the dialog, Yes ends the process.
answer_close_question() {
    xdotool mousemove --window "$dialog" 560 430 click 1
    local question
    question=$(wait_for_window "No File Warning") || fail "Close did not ask about the empty list"
    xdotool windowactivate --sync "$question" 2>/dev/null || xdotool windowfocus --sync "$question"
    xdotool key "$1"
}
answer_close_question n
sleep 0.5
is_running "$LAST_PID" || fail "answering No ended the process"
[ "$(count_windows "Lumiscribe Screensaver")" = 1 ] || fail "answering No closed the dialog"
answer_close_question y
wait_for_exit "$LAST_PID" 10 || fail "the process did not end when the dialog closed"
pass "setup dialog"
