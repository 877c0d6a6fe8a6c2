# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end tests of lumiscribe-idle, sourced after lib.sh (or wayland_lib.sh).
: "${LUMI_IDLE:?the idle starter is not named}"
: "${LUMI_SESSION_STANDIN:?the session stand-in is not named}"

IDLE_BIN="$E2E_ROOT/bin"
IDLE_LOG="$E2E_ROOT/idle.log"
STARTS="$E2E_ROOT/starts"

# Puts the idle starter into a folder of its own beside a stand-in "lumiscribe" that only
# notes each start, for the tests that watch the idle sources rather than the display.
use_stand_in_display() {
    mkdir -p "$IDLE_BIN"
    cp "$LUMI_IDLE" "$IDLE_BIN/lumiscribe-idle"
    printf '#!/bin/sh\necho "$*" >>"%s"\n' "$STARTS" >"$IDLE_BIN/lumiscribe"
    chmod +x "$IDLE_BIN/lumiscribe"
}

# Starts lumiscribe-idle with the given arguments in the background, its output in IDLE_LOG;
# its pid is in IDLE_PID.
start_idle() {
    "$IDLE_BIN/lumiscribe-idle" "$@" >"$IDLE_LOG" 2>&1 &
    IDLE_PID=$!
    E2E_PIDS+=("$IDLE_PID")
}

# The number of displays started so far.
start_count() {
    if [ -f "$STARTS" ]; then wc -l <"$STARTS"; else echo 0; fi
}

# Waits up to $2 seconds (default 30) until $1 displays were started.
wait_for_starts() {
    local count=$1 deadline=$(e2e_deadline ${2:-30})
    until [ "$(start_count)" -ge "$count" ]; do
        [ $SECONDS -lt $deadline ] || fail "$(start_count) starts instead of $count: $(cat "$IDLE_LOG")"
        sleep 0.2
    done
    [ "$(start_count)" = "$count" ] || fail "$(start_count) starts instead of $count"
    [ "$(tail -n 1 "$STARTS")" = /s ] || fail "the display was started as: $(tail -n 1 "$STARTS")"
}

# Waits up to $2 seconds (default 30) for a line of the idle starter's output that equals $1.
wait_for_line() {
    local deadline=$(e2e_deadline ${2:-30})
    until grep -qxF "$1" "$IDLE_LOG"; do
        [ $SECONDS -lt $deadline ] || fail "no line \"$1\" in: $(cat "$IDLE_LOG")"
        sleep 0.2
    done
}

# A private session bus for the rest of the test (the cleanup ends it).
start_session_bus() {
    local output
    output=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) ||
        fail "dbus-daemon did not start"
    export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$output")
    E2E_PIDS+=("$(sed -n 2p <<<"$output")")
}

# Runs the session stand-in ($1: locked or inhibited) on the session bus; its pid is in
# STANDIN_PID once it has taken its name.
start_session_standin() {
    "$LUMI_SESSION_STANDIN" "$1" >"$E2E_ROOT/standin.log" 2>&1 &
    STANDIN_PID=$!
    E2E_PIDS+=("$STANDIN_PID")
    local deadline=$(e2e_deadline 10)
    until grep -q ready "$E2E_ROOT/standin.log"; do
        [ $SECONDS -lt $deadline ] || fail "the stand-in did not start: $(cat "$E2E_ROOT/standin.log")"
        sleep 0.1
    done
}

# A private bus of type "system" for the rest of the test, where the logind stand-in takes
# its name (the cleanup ends it); DBUS_SYSTEM_BUS_ADDRESS points at it.
start_system_bus() {
    local output config="$E2E_ROOT/system-bus.conf"
    cat >"$config" <<CONFIG
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:dir=$E2E_ROOT</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
CONFIG
    output=$(dbus-daemon --config-file="$config" --fork --print-address=1 --print-pid=1) ||
        fail "the system bus did not start"
    export DBUS_SYSTEM_BUS_ADDRESS=$(sed -n 1p <<<"$output")
    E2E_PIDS+=("$(sed -n 2p <<<"$output")")
}

# Runs a lock stand-in ($1: logind, freedesktop or gnome), which takes a screenshot into
# "$E2E_ROOT/$1.png" when it is asked to lock and logs to "$E2E_ROOT/$1.log"; waits until
# it has taken its name.
start_lock_standin() {
    "$LUMI_SESSION_STANDIN" "$1" "$E2E_ROOT/$1.png" >"$E2E_ROOT/$1.log" 2>&1 &
    E2E_PIDS+=("$!")
    eval "${1^^}_PID=$!"
    local deadline=$(e2e_deadline 60)
    until grep -q ready "$E2E_ROOT/$1.log"; do
        [ $SECONDS -lt $deadline ] || fail "the $1 stand-in did not start: $(cat "$E2E_ROOT/$1.log")"
        sleep 0.1
    done
}
