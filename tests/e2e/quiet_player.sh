#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Without a sound device or a sound server, the Setup dialog's tune tests play silently: the
# first one says so in a message box, the player says so once in one line on standard error,
# and the sound library's own messages do not reach it.
source "$(dirname "$0")/lib.sh"
if [ -e /dev/snd ]; then
    echo "SKIP: this machine has a sound card"
    exit 77
fi
unset PULSE_SERVER PIPEWIRE_REMOTE  # the test's own runtime folder holds no server socket
install_assets
write_settings SetReg=2
write_list "$INSTALL_DIR/default.jpg"

"$LUMISCRIBE" /c >"$E2E_ROOT/stdout.log" 2>"$E2E_ROOT/stderr.log" &
LAST_PID=$!
E2E_PIDS+=("$LAST_PID")
dialog=$(wait_for_window "Lumiscribe Screensaver") || fail "no Setup dialog appeared"
sleep 0.5
xdotool mousemove --window "$dialog" 92 16 click 1  # the "Music" tab
sleep 0.5
xdotool mousemove --window "$dialog" 180 90 click 1  # "Test MIDI" of tune 1
# The SoundFont loads, then the tune starts on the silent output, and a message box says why
# nothing is heard.
box=$(wait_for_window "Corvanta Lumiscribe" 20) || fail "no message box about the silent player"
xdotool windowactivate --sync "$box" 2>/dev/null || xdotool windowfocus --sync "$box"
xdotool key Return
sleep 0.5
[ "$(count_windows "Corvanta Lumiscribe")" = 0 ] || fail "the message box did not close"
xdotool mousemove --window "$dialog" 180 124 click 1  # "Test MIDI" of tune 2
sleep 1.5
[ "$(count_windows "Corvanta Lumiscribe")" = 0 ] || fail "the second test said it again"
xdotool mousemove --window "$dialog" 300 271 click 1  # "Stop MIDI Test"
sleep 0.5
xdotool mousemove --window "$dialog" 560 430 click 1  # Close
wait_for_exit "$LAST_PID" 10 || fail "the dialog did not close"

# The player's line once, no other line of the program, and nothing of the sound library. Other
# lines are not the player's business: a build with sanitizers, say, reports there at the end.
silent_line="lumiscribe: no sound device or sound server; the music plays silently"
if [ "$(grep -cxF "$silent_line" "$E2E_ROOT/stderr.log")" != 1 ] ||
    [ "$(grep -c '^lumiscribe: ' "$E2E_ROOT/stderr.log")" != 1 ] ||
    grep -q '^ALSA lib' "$E2E_ROOT/stderr.log"; then
    echo "standard error:" >&2
    cat "$E2E_ROOT/stderr.log" >&2
    fail "standard error does not hold the one line about silent playing, or holds the sound library's"
fi
[ ! -s "$E2E_ROOT/stdout.log" ] || fail "the player wrote to standard output: $(cat "$E2E_ROOT/stdout.log")"
pass "quiet player"
