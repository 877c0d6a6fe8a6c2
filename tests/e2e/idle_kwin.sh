#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# lumiscribe-idle under KWin, headless (its virtual backend), which offers the ext-idle-notify-v1
# protocol: the display starts once the user has been idle for the wait, and not again while
# the same idle period lasts.
E2E_SESSION=wayland  # a compositor of its own, no X server
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/idle_lib.sh"
use_stand_in_display
command -v kwin_wayland >/dev/null || fail "the kwin-wayland package is not installed"
start_session_bus

# A copy without the binary's file capabilities: where a container withholds them, the
# original cannot be run at all.
cp "$(command -v kwin_wayland)" "$E2E_ROOT/kwin_wayland"
env -u DISPLAY "$E2E_ROOT/kwin_wayland" --virtual --no-lockscreen --socket lumi-kwin \
    --width 800 --height 600 >"$E2E_ROOT/kwin.log" 2>&1 &
E2E_PIDS+=($!)
deadline=$(e2e_deadline 30)
until [ -S "$XDG_RUNTIME_DIR/lumi-kwin" ]; do
    if [ $SECONDS -ge $deadline ]; then
        echo "SKIP: KWin did not start: $(tail -5 "$E2E_ROOT/kwin.log")"
        exit 77
    fi
    sleep 0.2
done

WAYLAND_DISPLAY=lumi-kwin start_idle --after 2
wait_for_line "lumiscribe-idle: watching idle time through ext-idle-notify-v1 (wait 2 seconds)"
wait_for_starts 1
sleep 5  # more than two waits without input: still the same idle period
[ "$(start_count)" = 1 ] || fail "the display started again without input"
is_running "$IDLE_PID" || fail "lumiscribe-idle ended: $(cat "$IDLE_LOG")"
pass "idle starter under KWin"
