#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/a" shows the password dialog; the new password is stored as a hash only the user reads.
source "$(dirname "$0")/lib.sh"

start_lumiscribe /a
dialog=$(wait_for_window "Change Password") || fail "no password dialog"
xdotool windowactivate --sync "$dialog" 2>/dev/null || xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 "s3cret pass"
xdotool key Tab
xdotool type --delay 20 "s3cret pass"
xdotool key Return
wait_for_exit "$LAST_PID" 10 || fail "the process did not end when the dialog closed"

file="$XDG_CONFIG_HOME/Lumiscribe.password"
[ -f "$file" ] || fail "no password file"
grep -q '^\$y\$' "$file" || fail "the file holds no yescrypt hash"
! grep -q "s3cret" "$file" || fail "the plain password is in the file"
[ "$(stat -c %a "$file")" = 600 ] || fail "the password file is not private"
pass "change password"
