#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# lumiscribe-idle under GNOME's window manager, headless, whose idle monitor answers on the
# session bus: nothing starts while the session manager says an application inhibits idle;
# once it no longer does, the display starts once per idle period (the monitor's test method
# ResetIdletime stands for the user's input).
E2E_SESSION=wayland  # a compositor of its own, no X server
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/idle_lib.sh"
use_stand_in_display
command -v mutter >/dev/null || fail "the mutter package is not installed"
start_session_bus

idle_monitor() {
    dbus-send --session --print-reply --dest=org.gnome.Mutter.IdleMonitor \
        /org/gnome/Mutter/IdleMonitor/Core "org.gnome.Mutter.IdleMonitor.$1" >/dev/null 2>&1
}
env -u DISPLAY MUTTER_DEBUG_RESET_IDLETIME=1 mutter --headless --wayland --no-x11 \
    --virtual-monitor 800x600 --wayland-display lumi-mutter >"$E2E_ROOT/mutter.log" 2>&1 &
E2E_PIDS+=($!)
deadline=$(e2e_deadline 30)
until idle_monitor GetIdletime; do
    if [ $SECONDS -ge $deadline ]; then
        echo "SKIP: mutter did not start: $(tail -5 "$E2E_ROOT/mutter.log")"
        exit 77
    fi
    sleep 0.2
done
start_session_standin inhibited

WAYLAND_DISPLAY=lumi-mutter start_idle --after 2
wait_for_line "lumiscribe-idle: watching idle time through org.gnome.Mutter.IdleMonitor (wait 2 seconds)"
wait_for_line "lumiscribe-idle: idle, but an application inhibits idle: starting nothing"
[ "$(start_count)" = 0 ] || fail "the display started while idle was inhibited"
kill "$STANDIN_PID"

idle_monitor ResetIdletime || fail "ResetIdletime failed"
wait_for_starts 1
sleep 5  # more than two waits without input: still the same idle period
[ "$(start_count)" = 1 ] || fail "the display started again without input"
idle_monitor ResetIdletime || fail "ResetIdletime failed"
wait_for_starts 2
pass "idle starter under mutter"
