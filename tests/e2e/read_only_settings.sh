#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Settings on a disk that turns read-only while Setup is open: every change that cannot be
# stored shows its own message box, not only the first, and the control then shows the value
# that is stored, which the file keeps. Needs the right to mount (root).
source "$(dirname "$0")/lib.sh"
if ! mount -t tmpfs -o size=1m,mode=0755 tmpfs "$XDG_CONFIG_HOME" 2>/dev/null; then
    echo "SKIP: cannot mount a file system here"
    exit 77
fi
trap 'umount -l "$XDG_CONFIG_HOME" 2>/dev/null; cleanup' EXIT
install_assets
start_window_manager
write_settings SetReg=2 Calendar=0 Delay=5

start_lumiscribe /c
dialog=$(wait_for_window "Lumiscribe Screensaver") || fail "no Setup dialog appeared"
mount -o remount,ro "$XDG_CONFIG_HOME"
stored=$(cat "$SETTINGS_FILE")

# The calendar's "Show" box, in the dialog's window.
box_x=497 box_y=309
calendar_box() {
    /usr/bin/import -window "$dialog" -crop "16x16+$((box_x - 8))+$((box_y - 8))" +repage "$1"
}
focus_window "$dialog"
calendar_box "$E2E_ROOT/unchecked.png"
for round in 1 2; do
    focus_window "$dialog"
    xdotool mousemove --window "$dialog" "$box_x" "$box_y" click 1
    deadline=$(e2e_deadline 10)
    message=
    while [ -z "$message" ]; do
        [ $SECONDS -lt $deadline ] || fail "change $round showed no message box"
        message=$(xdotool search --onlyvisible --name "^Lumiscribe Screensaver\$" 2>/dev/null |
            grep -vx "$dialog" | head -n 1 || true)
        sleep 0.2
    done
    focus_window "$message"
    xdotool key Return
    while [ "$(count_windows "Lumiscribe Screensaver")" != 1 ]; do
        [ $SECONDS -lt $deadline ] || fail "the message box of change $round did not close"
        sleep 0.1
    done
    calendar_box "$E2E_ROOT/after.$round.png"
    [ "$(/usr/bin/compare -metric AE "$E2E_ROOT/unchecked.png" "$E2E_ROOT/after.$round.png" \
        null: 2>&1)" = 0 ] || fail "after change $round the box shows a value that is not stored"
done
[ "$(cat "$SETTINGS_FILE")" = "$stored" ] || fail "the settings file changed on a read-only disk"
[ "$(grep -c "the disk is read-only" "$E2E_ROOT"/out.*.log)" -ge 2 ] ||
    fail "the refusals were not said on standard error"
pass "every refused write on a read-only disk is shown"
