#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Without any display every mode, and the program for XScreenSaver, ends with one line on
# standard error that names what is missing, and exit status 1, where the toolkit would abort.
source "$(dirname "$0")/lib.sh"
install_assets

# Runs the program $1 with the other arguments and no display of any kind. The runtime
# folder is the test's own, so no Wayland socket lies at its default name either. The
# program needs no display to say so: a minute and a half is a deadline, not a measure.
run_without_display() {
    local status=0
    timeout 90 env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u XDG_SESSION_TYPE \
        -u QT_QPA_PLATFORM "$@" >"$E2E_ROOT/stdout" 2>"$E2E_ROOT/stderr" || status=$?
    echo "$status"
}

expected="no X11 display (DISPLAY is not set) and no Wayland display (WAYLAND_DISPLAY is not set)"
check() {
    local name=$1 status
    shift
    status=$(run_without_display "$@")
    [ "$status" = 1 ] || fail "$name ended with status $status: $(cat "$E2E_ROOT/stderr")"
    [ "$(wc -l <"$E2E_ROOT/stderr")" = 1 ] || fail "$name wrote: $(cat "$E2E_ROOT/stderr")"
    grep -qxF "$(basename "$1"): $expected" "$E2E_ROOT/stderr" ||
        fail "$name said: $(cat "$E2E_ROOT/stderr")"
    [ ! -s "$E2E_ROOT/stdout" ] || fail "$name printed: $(cat "$E2E_ROOT/stdout")"
}

check "/s" "$LUMISCRIBE" /s
check "no switch" "$LUMISCRIBE"
check "/c" "$LUMISCRIBE" /c
check "/p" "$LUMISCRIBE" /p 1234
check "/a" "$LUMISCRIBE" /a
# The program for XScreenSaver draws into an X window whatever the session, so it names only
# the X11 display that it lacks.
expected="no X11 display (DISPLAY is not set)"
check "lumiscribe-xscreensaver" "$LUMI_XSCREENSAVER" -root
check "lumiscribe-xscreensaver --window-id" "$LUMI_XSCREENSAVER" --window-id 0x1234
[ ! -e "$SETTINGS_FILE" ] || fail "a start without a display wrote settings"

# A display that is named but does not answer is named as such.
status=$(run_without_display env DISPLAY=:999 "$LUMISCRIBE" /s)
[ "$status" = 1 ] || fail "/s on a display that does not answer ended with status $status"
grep -qF "no X11 display (nothing answers at DISPLAY=:999)" "$E2E_ROOT/stderr" ||
    fail "/s on a display that does not answer said: $(cat "$E2E_ROOT/stderr")"

# Help and version need no display.
status=$(run_without_display "$LUMISCRIBE" --version)
[ "$status" = 0 ] || fail "--version without a display ended with status $status"
pass "no display"
