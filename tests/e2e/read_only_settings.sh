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

# The calendar's "Show" box, in the dialog's window, and whether its middle is blank (white,
# unchecked) or holds the check mark; the frame around it changes with the pointer and the
# focus, the middle does not.
box_x=497 box_y=309
calendar_checked() {
    /usr/bin/import -window "$dialog" -crop "6x6+$((box_x - 3))+$((box_y - 3))" +repage \
        "$E2E_ROOT/box.png"
    [ "$(/usr/bin/convert "$E2E_ROOT/box.png" -format "%[fx:mean < 0.9]" info:)" = 1 ]
}
focus_window "$dialog"
! calendar_checked || fail "the calendar box is checked, with Calendar=0 stored"
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
    # The box is set back once the message is answered, and painted soon after.
    while calendar_checked; do
        [ $SECONDS -lt $deadline ] || fail "after change $round the box shows a value that is not stored"
        sleep 0.2
    done
done
[ "$(cat "$SETTINGS_FILE")" = "$stored" ] || fail "the settings file changed on a read-only disk"
[ "$(grep -c "the disk is read-only" "$E2E_ROOT"/out.*.log)" -ge 2 ] ||
    fail "the refusals were not said on standard error"
pass "every refused write on a read-only disk is shown"
