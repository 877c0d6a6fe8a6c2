#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The first "/s" on a machine without settings stores the first-run values, each as a string.
source "$(dirname "$0")/lib.sh"

fresh_install
start_program scr "$SCR" /s
wait_for_window Lumiscribe >/dev/null || fail "no full-screen window"
stored() { "$LUMI_WINE" reg query "$SETTINGS_KEY" /v SetReg 2>/dev/null | grep -q 'REG_SZ *2'; }
wait_until stored || fail "SetReg 2 was not stored"
xdotool key x
wait_for_exit "$LAST_PID" && [ "$EXIT_STATUS" -eq 0 ] || fail "a key did not end the display"
"$LUMI_WINE" reg query "$SETTINGS_KEY" >"$E2E_ROOT/settings.txt" 2>/dev/null
while read -r name value; do
    grep -qxF "    $name    REG_SZ    $value" <(tr -d '\r' <"$E2E_ROOT/settings.txt") ||
        fail "$name is not \"$value\": $(grep -w "$name" "$E2E_ROOT/settings.txt")"
done <<'VALUES'
MIDI1 1
MIDI2 1
MIDI3 1
MIDI4 1
MIDI5 1
MIDI6 1
MIDI7 1
MIDI8 1
MIDI9 1
MIDI10 1
BG 3
Calendar 0
Delay 5
MouseSen 4
Music 1
SoundOff 0
BGFile C:\Corvanta\Lumiscribe\bg.jpg
SetReg 2
VALUES
pass "first run"
