#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# lumiscribe-idle in an X server without a desktop: the MIT-SCREEN-SAVER extension tells the
# idle time. It starts the display once the user has been idle for the wait and not again
# before the next input; nothing while the session says it is locked; one per session; a
# changed wait applies at once; and nothing, saying why, where an XScreenSaver daemon runs.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/idle_lib.sh"
use_stand_in_display
unset WAYLAND_DISPLAY WAYLAND_SOCKET
start_session_bus
start_session_standin locked

start_idle --after 2
wait_for_line "lumiscribe-idle: watching idle time through MIT-SCREEN-SAVER (wait 2 seconds)"
wait_for_line "lumiscribe-idle: idle, but the session is locked: starting nothing"
[ "$(start_count)" = 0 ] || fail "the display started while the session was locked"
kill "$STANDIN_PID"

xdotool mousemove 10 10 mousemove 20 20
wait_for_starts 1
sleep 5  # more than two waits without input: still the same idle period
[ "$(start_count)" = 1 ] || fail "the display started again without input"
xdotool mousemove 30 30
wait_for_starts 2

"$IDLE_BIN/lumiscribe-idle" --after 2 >"$E2E_ROOT/second.log" 2>&1 ||
    fail "a second lumiscribe-idle failed: $(cat "$E2E_ROOT/second.log")"
[ "$(cat "$E2E_ROOT/second.log")" = "lumiscribe-idle: another lumiscribe-idle runs in this session" ] ||
    fail "a second lumiscribe-idle said: $(cat "$E2E_ROOT/second.log")"
kill "$IDLE_PID"
wait_for_exit "$IDLE_PID" 10 || fail "lumiscribe-idle outlived SIGTERM"

# The wait set in Setup applies as soon as the settings file is replaced with the new value.
write_settings IdleWait=0
start_idle
wait_for_line "lumiscribe-idle: watching idle time through MIT-SCREEN-SAVER (IdleWait is 0: starting nothing until it is set)"
printf '[Config]\nIdleWait=1\n' >"$SETTINGS_FILE.new"
mv "$SETTINGS_FILE.new" "$SETTINGS_FILE"
wait_for_line "lumiscribe-idle: wait 1 minute"
kill "$IDLE_PID"

# XScreenSaver starts the savers itself where its daemon runs.
command -v xscreensaver >/dev/null || fail "the xscreensaver package is not installed"
mkdir -p "$E2E_ROOT/home"
HOME="$E2E_ROOT/home" xscreensaver -no-splash >"$E2E_ROOT/daemon.log" 2>&1 &
E2E_PIDS+=($!)
trap 'HOME="$E2E_ROOT/home" xscreensaver-command -exit >/dev/null 2>&1 || true; cleanup' EXIT
deadline=$(e2e_deadline 30)  # the daemon starts slowly on a busy machine
until HOME="$E2E_ROOT/home" xscreensaver-command -version >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || fail "the daemon did not start: $(cat "$E2E_ROOT/daemon.log")"
    sleep 0.3
done
status=0
"$IDLE_BIN/lumiscribe-idle" --after 2 >"$E2E_ROOT/refused.log" 2>&1 || status=$?
[ "$status" = 1 ] || fail "lumiscribe-idle beside XScreenSaver ended with $status"
[ "$(cat "$E2E_ROOT/refused.log")" = "lumiscribe-idle: no idle source: XScreenSaver runs on the X display $DISPLAY and starts the savers" ] ||
    fail "lumiscribe-idle beside XScreenSaver said: $(cat "$E2E_ROOT/refused.log")"
pass "idle starter on X11"
