#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/a" shows the "Change Password" dialog; its check box sets Windows' "On resume, display
# logon screen" the moment it is clicked, and Enter closes the dialog.
source "$(dirname "$0")/lib.sh"

# The choice as Windows stores it: "1", "0", or nothing before the first choice.
stored() {
    "$LUMI_WINE" reg query 'HKCU\Control Panel\Desktop' /v ScreenSaverIsSecure 2>/dev/null |
        tr -d '\r' | awk '$1 == "ScreenSaverIsSecure" {print $3}'
}

start_program scr "$SCR" /a 1234
dialog=$LAST_PID
wait_for_window "Change Password" >/dev/null || fail "no dialog"
read -r x y < <("$LUMI_WINE" "$HOST_WINDOW" locate "Change Password" \
    "On resume, display logon screen" | tr -d '\r') || fail "no check box"
for expected in 1 0; do
    xdotool mousemove "$x" "$y" click 1
    wait_until eval '[ "$(stored)" = $expected ]' || fail "a click did not store $expected"
done

xdotool key Return
wait_for_exit "$dialog" || fail "Enter did not close the dialog"
[ "$EXIT_STATUS" -eq 0 ] || fail "the dialog ended with status $EXIT_STATUS"
pass "change password"
