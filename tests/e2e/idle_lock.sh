#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# lumiscribe-idle never starts the display over the lock screen that the display's end asked
# for: the display ends only once the session says it is locked, so the idle period after it
# finds the session locked and starts nothing.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/idle_lib.sh"
unset WAYLAND_DISPLAY WAYLAND_SOCKET
install_assets
start_session_bus
start_system_bus
start_lock_standin logind

# The idle starter beside the real display.
mkdir -p "$IDLE_BIN"
cp "$LUMI_IDLE" "$IDLE_BIN/lumiscribe-idle"
ln -s "$(realpath "$LUMISCRIBE")" "$IDLE_BIN/lumiscribe"
write_settings SetReg=2 BG=1 Delay=300 Music=0 MouseSen=4 LockScreen=1

start_idle --after 2
window=$(wait_for_window Lumiscribe 60) || fail "the idle starter did not start the display: $(cat "$IDLE_LOG")"
display_pid=$(xdotool getwindowpid "$window")
xdotool windowfocus "$window" 2>/dev/null || true
xdotool key x
deadline=$(e2e_deadline 60)
until grep -q "lock requested" "$E2E_ROOT/logind.log"; do
    [ $SECONDS -lt $deadline ] || fail "the display did not ask for the lock"
    sleep 0.1
done
wait_for_exit "$display_pid" 60 || fail "the display outlived the lock"

# Input at the lock screen, then idle again: the session is locked, nothing starts.
xdotool mousemove 10 10 mousemove 20 20
wait_for_line "lumiscribe-idle: idle, but the session is locked: starting nothing" 60
[ "$(count_windows Lumiscribe)" = 0 ] || fail "the display started over the lock screen"
pass "idle starter and lock"
