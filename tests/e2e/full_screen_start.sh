#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/s" with an empty settings store writes the first-run values and shows one borderless
# window over the whole screen, marked as a running screen saver.
source "$(dirname "$0")/lib.sh"
install_assets

start_lumiscribe /s
window=$(wait_for_window Lumiscribe) || fail "no display window appeared"

eval "$(xdotool getwindowgeometry --shell "$window")"
screen=$(xdpyinfo | awk '/dimensions:/{print $2}')
[ "${WIDTH}x${HEIGHT}" = "$screen" ] || fail "window is ${WIDTH}x${HEIGHT}, screen is $screen"
[ "$X" = 0 ] && [ "$Y" = 0 ] || fail "window is at $X,$Y"

# Borderless: the window asks for no decorations (Motif hints: flags 2, decorations 0).
hints=$(xprop -id "$window" _MOTIF_WM_HINTS)
echo "$hints" | grep -Eq '= 0x2, 0x[0-9a-f]+, 0x0' || fail "window asks for decorations: $hints"

# The first-run values, one for each key of the settings table, "SetReg" among them.
count=$(awk '/^\[/{section=$0} section=="[Config]" && /=/' "$SETTINGS_FILE" | wc -l)
[ "$count" = 23 ] || fail "settings file holds $count values, not 23"
for n in 1 2 3 4 5 6 7 8 9 10; do
    [ "$(setting MIDI$n)" = 1 ] || fail "MIDI$n is not 1"
done
[ "$(setting BG)" = 3 ] || fail "BG"
[ "$(setting Calendar)" = 0 ] || fail "Calendar"
[ "$(setting Delay)" = 5 ] || fail "Delay"
[ "$(setting MouseSen)" = 4 ] || fail "MouseSen"
[ "$(setting Music)" = 1 ] || fail "Music"
[ "$(setting SoundOff)" = 0 ] || fail "SoundOff"
[ "$(setting SetReg)" = 2 ] || fail "SetReg"
grep -q "Corvanta/Lumiscribe/bg.jpg" "$SETTINGS_FILE" || fail "BGFile does not name bg.jpg"

[ "$(cat "$STATE_DIR/screensaver-running")" = 1 ] || fail "not marked as a running screen saver"
is_running "$LAST_PID" || fail "the display ended by itself"
pass "full-screen start"
