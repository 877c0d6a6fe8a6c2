#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# lumiscribe-idle with the real display in sway, through the idle protocol that sway offers
# (ext-idle-notify-v1 from sway 1.8 on, org_kde_kwin_idle before): nothing starts while a window inhibits idle; then "--after 2" starts the display after 2 s
# without input, not again while the same idle period lasts, and again after a key (which
# also ends the display) and 2 s more without input.
source "$(dirname "$0")/wayland_lib.sh"
source "$(dirname "$0")/idle_lib.sh"
install_assets
write_settings SetReg=2 Delay=60 Music=0 Calendar=0
wayland_start

# The display is the lumiscribe beside the idle starter.
wayland_program "$LUMISCRIBE" >/dev/null
idle=$(wayland_program "$LUMI_IDLE")
starts() {
    grep -c "^lumiscribe-idle: idle for 2 seconds: starting the display$" "$IDLE_LOG" || true
}

# A window that inhibits idle, as a playing video does.
host=$(wayland_program "$LUMI_HOST_WINDOW")
wayland_spawn env QT_QPA_PLATFORM=wayland "$host" Video 200 200
wayland_wait_for_view Video 20 || fail "no window to inhibit idle"
wayland_msg '[title="^Video$"] inhibit_idle open' >/dev/null || fail "sway did not inhibit idle"

wayland_spawn "$idle" --after 2 >"$IDLE_LOG" 2>&1
idle_pid=$LAST_PID
wait_for_line "lumiscribe-idle: watching idle time through $(wayland_idle_protocol) (wait 2 seconds)"
sleep 5  # more than two waits without input
[ "$(starts)" = 0 ] || fail "the display started while a window inhibited idle"
wayland_msg '[title="^Video$"] inhibit_idle none' >/dev/null || fail "sway did not end the inhibition"
wayland_wait_for_view Lumiscribe 30 || fail "no display appeared: $(cat "$IDLE_LOG")"
[ "$(starts)" = 1 ] || fail "$(starts) starts instead of 1: $(cat "$IDLE_LOG")"

sleep 5  # more than two waits without input: still the same idle period
[ "$(starts)" = 1 ] || fail "the display was started again without input: $(cat "$IDLE_LOG")"
wayland_has_view Lumiscribe || fail "the display ended without input"

wayland_key x
deadline=$(e2e_deadline 30)
until [ "$(starts)" = 2 ]; do
    [ $SECONDS -lt $deadline ] || fail "no second start after a key and a wait: $(cat "$IDLE_LOG")"
    sleep 0.2
done
wayland_wait_for_view Lumiscribe 30 || fail "the second display did not appear: $(cat "$IDLE_LOG")"
is_running "$idle_pid" || fail "lumiscribe-idle ended: $(cat "$IDLE_LOG")"
pass "idle starter in sway with the display"
