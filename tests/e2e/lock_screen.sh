#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# With LockScreen 1 the end of the display asks the session's lock, first logind's, while
# the display still covers the screen, and the process ends once the session is locked;
# where no lock screen answers it ends with one line saying so. With LockScreen 0 nothing
# asks for a lock.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/idle_lib.sh"
unset WAYLAND_DISPLAY WAYLAND_SOCKET
install_assets
start_session_bus
start_system_bus

pictures="$E2E_ROOT/pictures"
mkdir -p "$pictures"
/usr/bin/convert -size 200x150 -depth 8 gradient:orange-purple PNG24:"$pictures/a.png"
/usr/bin/convert "$pictures/a.png" -crop 199x149+0+0 +repage "$pictures/a.canvas.png"
write_list "$pictures/a.png"
area="199x149+412+309"

# Starts the display with LockScreen $1 and waits until its picture is painted.
start_display() {
    write_settings SetReg=2 BG=1 Delay=300 Music=0 MouseSen=4 "LockScreen=$1"
    start_lumiscribe /s
    DISPLAY_WINDOW=$(wait_for_window Lumiscribe 60) || fail "no display window"
    wait_for_screen_area "$pictures/a.canvas.png" "$area" 60 || fail "the picture was not painted"
}

# The display's end: a key, or the signal $1.
end_display() {
    if [ "${1:-}" = TERM ]; then
        kill -TERM "$LAST_PID"
    else
        xdotool windowfocus "$DISPLAY_WINDOW" 2>/dev/null || true
        xdotool key x
    fi
}

# How often the stand-in $1 was asked for the lock so far.
lock_requests() {
    grep -c "lock requested" "$E2E_ROOT/$1.log" || true
}

# Checks that the stand-in $1 was asked for the lock once more (its $2-th time) while the
# display covered the screen, and that the display then ended without a word.
expect_locked_by() {
    local deadline=$(e2e_deadline 60)
    until [ "$(lock_requests "$1")" -ge "$2" ]; do
        [ $SECONDS -lt $deadline ] || fail "$1 was not asked to lock: $(cat "$E2E_ROOT/$1.log")"
        sleep 0.1
    done
    /usr/bin/convert "$E2E_ROOT/$1.png" -crop "$area" +repage "$E2E_ROOT/at-lock.png"
    [ "$(/usr/bin/compare -metric AE "$E2E_ROOT/at-lock.png" "$pictures/a.canvas.png" null: 2>&1)" = 0 ] ||
        fail "the display did not cover the screen when $1 was asked to lock"
    wait_for_exit "$LAST_PID" 60 || fail "the display outlived the lock"
    [ ! -s "$E2E_ROOT/out.1.log" ] || fail "the display said: $(cat "$E2E_ROOT/out.1.log")"
    [ "$(lock_requests "$1")" = "$2" ] || fail "$1 was asked $(lock_requests "$1") times"
    rm "$E2E_ROOT/$1.png"
}

start_lock_standin logind
start_lock_standin freedesktop

# True when process $1 holds a connection to the system bus.
on_system_bus() {
    local name
    for name in $(dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.ListNames | grep -oE '":[0-9.]+"' | tr -d '"'); do
        [ "$(dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.GetConnectionUnixProcessID "string:$name" 2>/dev/null |
            awk '/uint32/ {print $2}')" = "$1" ] && return 0
    done
    return 1
}

# logind first: the screen-saver service behind it is never asked.
start_display 1
on_system_bus "$LAST_PID" || fail "the display did not find its session before the key"
end_display
expect_locked_by logind 1
[ "$(lock_requests freedesktop)" = 0 ] || fail "org.freedesktop.ScreenSaver was asked too"

# SIGTERM ends the display the same way.
start_display 1
end_display TERM
expect_locked_by logind 2

# Without logind, org.freedesktop.ScreenSaver; without it, org.gnome.ScreenSaver.
kill "$LOGIND_PID"
wait_for_exit "$LOGIND_PID" 60 || fail "the logind stand-in outlived SIGTERM"
start_display 1
end_display
expect_locked_by freedesktop 1
kill "$FREEDESKTOP_PID"
wait_for_exit "$FREEDESKTOP_PID" 60 || fail "the screen-saver stand-in outlived SIGTERM"
start_lock_standin gnome
start_display 1
end_display
expect_locked_by gnome 1
kill "$GNOME_PID"
wait_for_exit "$GNOME_PID" 60 || fail "the GNOME stand-in outlived SIGTERM"

# No lock screen at all: the display ends as without the lock, saying so.
start_display 1
end_display
wait_for_exit "$LAST_PID" 60 || fail "the display did not end without a lock screen"
[ "$(cat "$E2E_ROOT/out.1.log")" = "lumiscribe: no lock screen answered; the session is not locked" ] ||
    fail "the display said: $(cat "$E2E_ROOT/out.1.log")"

# LockScreen 0: nothing is asked, even where every lock service is there.
start_lock_standin logind
start_lock_standin freedesktop
start_display 0
! on_system_bus "$LAST_PID" || fail "the display connected to the system bus with LockScreen 0"
end_display
wait_for_exit "$LAST_PID" 60 || fail "'x' did not end the display"
for service in logind freedesktop; do
    [ "$(lock_requests "$service")" = 0 ] || fail "$service was asked to lock"
done
[ ! -s "$E2E_ROOT/out.1.log" ] || fail "the display said: $(cat "$E2E_ROOT/out.1.log")"
pass "lock screen"
