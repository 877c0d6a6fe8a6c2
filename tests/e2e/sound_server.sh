#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The music as a listener hears it, through a real sound server: a headless PipeWire with its
# PulseAudio service, run as the unprivileged user "nobody" on a private session bus, plays
# into a null sink whose monitor the test records. The display starts before the server and
# finds it once it is there; tune 1 moves pan and volume, and tune 2, which sets nothing, must
# still sound centred and at its own level; q silences the music and s brings it back; after
# the server is killed and started again, after a pause or at once, the music comes back. Every
# judgement is made on recordings of one second, with deadlines of minutes.
source "$(dirname "$0")/lib.sh"
trap 'fail "line $LINENO failed: $BASH_COMMAND"' ERR
for program in pipewire pw-cli wireplumber pipewire-pulse pactl parec sox abc2midi dbus-daemon; do
    command -v "$program" >/dev/null || fail "$program is not installed"
done
[ "$(id -u)" = 0 ] || { echo "SKIP: needs root to run the sound server as another user"; exit 77; }
unset PULSE_SERVER PIPEWIRE_REMOTE

home="$E2E_ROOT/home"
mkdir -p "$home" "$INSTALL_DIR"
cp "$ASSETS"/default.jpg "$ASSETS"/bg.jpg "$INSTALL_DIR"/
# Tune 1: an organ chord, hard left and quiet, for 12 s. Tune 2: piano chords, no controller.
cat >"$E2E_ROOT/1.abc" <<'ABC'
X:1
T:moved
M:4/4
L:1/4
Q:1/4=120
K:C
%%MIDI program 19
%%MIDI control 7 30
%%MIDI control 10 0
[CEG]4|[CEG]4|[CEG]4|[CEG]4|[CEG]4|[CEG]4|
ABC
{
    printf 'X:1\nT:plain\nM:4/4\nL:1/4\nQ:1/4=120\nK:C\n'
    for bar in $(seq 60); do printf '[CEG][DFA][EGB][CEG]|'; done
    printf '\n'
} >"$E2E_ROOT/2.abc"
abc2midi "$E2E_ROOT/1.abc" -o "$INSTALL_DIR/1.mid" >/dev/null
abc2midi "$E2E_ROOT/2.abc" -o "$INSTALL_DIR/2.mid" >/dev/null
write_list "$INSTALL_DIR/default.jpg"
write_settings SetReg=2 BG=1 Delay=300 Music=1 MIDI1=1 MIDI2=1 MIDI3=0 MIDI4=0 MIDI5=0 \
    MIDI6=0 MIDI7=0 MIDI8=0 MIDI9=0 MIDI10=0
chown -R nobody "$E2E_ROOT"
chmod 755 "$E2E_ROOT"

# Runs a command as "nobody"; exec, so that a command started in the background has the pid in
# $! and a kill reaches it.
as_nobody() {
    exec setpriv --reuid=nobody --regid=nogroup --clear-groups -- env HOME="$home" \
        DISPLAY="$DISPLAY" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_DATA_HOME="$XDG_DATA_HOME" \
        XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" DBUS_SESSION_BUS_ADDRESS="$bus" "$@"
}
# as_nobody in the foreground.
run_nobody() {
    (as_nobody "$@")
}

# The session bus of the sound server, as dbus-run-session would start it.
bus=""
as_nobody dbus-daemon --session --nofork --print-address=3 3>"$E2E_ROOT/bus" &
E2E_PIDS+=($!)
deadline=$(e2e_deadline 60)
until [ -s "$E2E_ROOT/bus" ]; do
    [ $SECONDS -lt $deadline ] || fail "the session bus did not start"
    sleep 0.2
done
bus=$(head -n 1 "$E2E_ROOT/bus")

server_pids=()
start_server() {
    local program deadline=$(e2e_deadline 120)
    for program in pipewire wireplumber pipewire-pulse; do
        as_nobody "$program" >>"$E2E_ROOT/server.log" 2>&1 &
        server_pids+=($!)
        E2E_PIDS+=($!)
        # The session manager and the PulseAudio service give up at once when PipeWire does
        # not answer yet (as on a socket that the killed server left behind).
        [ "$program" = pipewire ] || continue
        until run_nobody timeout 20 pw-cli info 0 >/dev/null 2>&1; do
            [ $SECONDS -lt $deadline ] || fail "PipeWire did not start: $(tail -5 "$E2E_ROOT/server.log")"
            sleep 0.5
        done
    done
    until run_nobody pactl info >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || fail "the sound server did not start: $(tail -5 "$E2E_ROOT/server.log")"
        sleep 0.5
    done
    # The PulseAudio service may answer before it takes modules.
    until run_nobody pactl load-module module-null-sink sink_name=lumi_sink >/dev/null 2>&1 &&
        run_nobody pactl set-default-sink lumi_sink 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || fail "no null sink: $(tail -5 "$E2E_ROOT/server.log")"
        sleep 0.5
    done
}
# Kills the server and waits until its processes are gone, as a crash leaves it.
kill_server() {
    kill -9 "${server_pids[@]}" 2>/dev/null || true
    wait "${server_pids[@]}" 2>/dev/null || true
    server_pids=()
}

# Records one second of the sink's monitor into $1; silence when nothing can be recorded.
record() {
    run_nobody timeout 20 parec -d lumi_sink.monitor --raw --format=s16le --rate=44100 \
        --channels=2 2>/dev/null | head -c 176400 >"$1" || true
}
# The RMS amplitude of channel $2 (1 left, 2 right) of the recording $1, 0 to 1.
level() {
    [ -s "$1" ] || { echo 0; return; }
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$1" -n remix "$2" stat 2>&1 |
        awk '/RMS +amplitude/ {print $3}'
}
# Records until the awk condition $1 on the left and right levels (l, r) holds, for up to $2
# seconds; the levels of the last recording are in LEFT and RIGHT.
wait_for_sound() {
    local condition=$1 deadline=$(e2e_deadline "$2")
    while :; do
        record "$E2E_ROOT/take.raw"
        LEFT=$(level "$E2E_ROOT/take.raw" 1)
        RIGHT=$(level "$E2E_ROOT/take.raw" 2)
        awk -v l="$LEFT" -v r="$RIGHT" "BEGIN { exit !($condition) }" && return 0
        [ $SECONDS -lt $deadline ] || return 1
    done
}
heard='l > 0.001 || r > 0.001'
silent='l < 0.0002 && r < 0.0002'

as_nobody "$LUMISCRIBE" /s >"$E2E_ROOT/display.out" 2>"$E2E_ROOT/display.err" &
display=$!
E2E_PIDS+=("$display")
window=$(wait_for_window Lumiscribe 60) || fail "no display window"
sleep 3  # the first tune starts silently: there is no server yet
start_server

# Tune 1, found on the server that came after the display: left, and quiet.
wait_for_sound "$heard" 120 || fail "no music after the server started"
wait_for_sound "l > 10 * (r + 0.00001)" 60 ||
    fail "tune 1 is not on the left: left $LEFT, right $RIGHT"
tune1=$LEFT
# Tune 2 sets nothing: centred, and 10 dB or more above tune 1.
wait_for_sound "r > 0.7 * l && l > 0.7 * r && l > 3.2 * $tune1" 120 ||
    fail "tune 2 is not centred at its own level: left $LEFT, right $RIGHT (tune 1: $tune1)"

xdotool windowfocus "$window" 2>/dev/null || true
xdotool key q
wait_for_sound "$silent" 60 || fail "q did not silence the music: $LEFT $RIGHT"
xdotool key s
wait_for_sound "$heard" 60 || fail "s did not bring the music back"

kill_server
sleep 3
start_server
wait_for_sound "$heard" 120 || fail "no music after the server came back"
# A server started again at once answers the player's probe, but the player's old connection
# to it is dead all the same.
kill_server
start_server
wait_for_sound "$heard" 120 || fail "no music after the server was started again at once"
kill -0 "$display" 2>/dev/null || fail "the display ended"

lost=$(grep -c "the sound server went away" "$E2E_ROOT/display.err" || true)
back=$(grep -c "the sound server is back" "$E2E_ROOT/display.err" || true)
[ "$lost" = 2 ] && [ "$back" = 3 ] ||
    fail "want one line for the loss and two for the returns: $(cat "$E2E_ROOT/display.err")"
xdotool key x
wait_for_exit "$display" 60 || fail "the display did not end"
kill_server
echo PASS
