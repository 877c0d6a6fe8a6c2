#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A second "/s" ends at once while the first runs, unless a top-level window titled
# "Display Properties" exists; an empty command line always comes up.
source "$(dirname "$0")/lib.sh"
install_assets

start_lumiscribe /s
first=$LAST_PID
wait_for_window Lumiscribe >/dev/null || fail "the first display did not appear"

start_lumiscribe /s
wait_for_exit "$LAST_PID" 10 || fail "a second /s kept running"
[ "$(count_windows Lumiscribe)" = 1 ] || fail "a second /s showed a window"
is_running "$first" || fail "the first display ended"

xmessage -title "Display Properties" "Display Properties" &
properties=$!
E2E_PIDS+=("$properties")
wait_for_window "Display Properties" >/dev/null || fail "no Display Properties window"

start_lumiscribe /s
second=$LAST_PID
sleep 2
is_running "$second" || fail "/s with Display Properties open did not come up"
[ "$(count_windows Lumiscribe)" = 2 ] || fail "/s with Display Properties open shows no window"
kill -9 "$second"

kill "$properties"
wait_for_exit "$properties" 5 || fail "the Display Properties window stayed"
start_lumiscribe
sleep 2
is_running "$LAST_PID" || fail "an empty command line did not come up"
pass "single instance"
