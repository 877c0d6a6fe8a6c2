#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/p <window>" draws the preview still inside a host window, at its top-left corner, and
# ends when the host window goes away; "/p" without a window ends at once.
source "$(dirname "$0")/lib.sh"

"$LUMI_HOST_WINDOW" "Preview Host" 200 150 >"$E2E_ROOT/host.out" &
host_pid=$!
E2E_PIDS+=("$host_pid")
wait_for_window "Preview Host" >/dev/null || fail "no host window"
host=$(head -n 1 "$E2E_ROOT/host.out")

start_lumiscribe /p "$host"
preview=$LAST_PID
wait_for_screen_area "$LUMI_PREVIEW_STILL" "153x115+0+0" 10 || fail "the still is not at the host's top-left corner"
# The rest of the host's client area shows the preview form, not the host's magenta.
[ "$(pixel "$E2E_ROOT/screen.png" 190 140)" != "255,0,255" ] || fail "the preview does not fill the host"

kill "$host_pid"
wait_for_exit "$preview" 5 || fail "the preview outlived its host"

for line in "/p" "/p 4000000" "/p abc"; do
    # shellcheck disable=SC2086
    start_lumiscribe $line
    wait_for_exit "$LAST_PID" 5 || fail "'$line' kept running"
done
pass "preview"
