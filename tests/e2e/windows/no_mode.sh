#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Switches that name no mode start nothing: the program ends at once with status 0.
source "$(dirname "$0")/lib.sh"

for line in -s s /x; do
    expect_quick_end "$line"
done
[ -z "$(xdotool search --onlyvisible --name . 2>/dev/null)" ] || fail "a window was left open"
pass "no mode"
