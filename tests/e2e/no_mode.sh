#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Command lines that name no mode end at once and show no window.
source "$(dirname "$0")/lib.sh"
install_assets

# "--help" and "--version" print their text; anything else starting with "-" is no switch.
for line in "-s" "s" "/x" "--helpme" "--help me" "-version"; do
    start_lumiscribe "$line"
    wait_for_exit "$LAST_PID" 5 || fail "'$line' kept running"
    [ "$(count_windows Lumiscribe)" = 0 ] || fail "'$line' showed a window"
done
[ ! -e "$SETTINGS_FILE" ] || fail "a command line without a mode wrote settings"
pass "no mode"
