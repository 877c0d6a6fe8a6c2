#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/p <window>" fills the host window's client area and lives as long as the host; "/p" with
# no number or with the number of no window ends at once.
source "$(dirname "$0")/lib.sh"

quit_file=$E2E_ROOT/quit
start_program host "$HOST_WINDOW" host "Preview Host" 200 150 "Z:${quit_file//\//\\}"
host=$LAST_PID
wait_until grep -q '^[0-9]' "$E2E_ROOT/host.log" || fail "the host did not start"
number=$(grep -m 1 '^[0-9]' "$E2E_ROOT/host.log" | tr -d '\r')

start_program scr "$SCR" /p "$number"
preview=$LAST_PID
wait_until grep -q '^child' "$E2E_ROOT/host.log" || fail "no preview in the host"
grep -q '^child 0 0 200 150 in 200 150' "$E2E_ROOT/host.log" || fail "the preview does not fill it"
kill -0 "$preview" 2>/dev/null || fail "the preview ended while its host lives"

touch "$quit_file"
wait_for_exit "$preview" || fail "the preview outlived its host"
[ "$EXIT_STATUS" -eq 0 ] || fail "the preview ended with status $EXIT_STATUS"

expect_quick_end /p
expect_quick_end /p "$number"
pass "preview"
