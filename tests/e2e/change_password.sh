#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/a" explains that the desktop's lock screen protects the session and offers LockScreen;
# it stores no password, and a password file of an earlier version stays as it was.
source "$(dirname "$0")/lib.sh"

file="$XDG_CONFIG_HOME/Lumiscribe.password"
printf '%s\n' '$y$j9T$old$hash' >"$file"
chmod 600 "$file"
cp -p "$file" "$E2E_ROOT/password.before"

# Opens the dialog and closes it with the keys $@ (the check box has the focus).
run_dialog() {
    start_lumiscribe /a
    dialog=$(wait_for_window "Change Password" 60) || fail "no password dialog"
    focus_window "$dialog"
    xdotool key "$@"
    wait_for_exit "$LAST_PID" 60 || fail "the process did not end when the dialog closed"
}

run_dialog space Return
[ "$(setting LockScreen)" = 1 ] || fail "OK with the box checked stored LockScreen=$(setting LockScreen)"
run_dialog Escape
[ "$(setting LockScreen)" = 1 ] || fail "Cancel changed LockScreen"
run_dialog space Return
[ "$(setting LockScreen)" = 0 ] || fail "OK with the box cleared stored LockScreen=$(setting LockScreen)"

cmp "$file" "$E2E_ROOT/password.before" || fail "the old password file was changed"
[ "$(stat -c %a "$file")" = 600 ] || fail "the old password file's mode was changed"
pass "change password"
