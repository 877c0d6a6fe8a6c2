#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Dropouts and CPU of the music through a real sound server, for one or more builds side by
# side: usage: sound_server_dropouts.sh ASSETS SECONDS LUMISCRIBE...
# A headless PipeWire with its PulseAudio service (or, with SOUND_SERVER=pulseaudio, a plain
# PulseAudio daemon) runs as "nobody" with a null sink; each build plays a tune of continuous
# chords for SECONDS while the sink's monitor is recorded. A dropout
# is a run of 1 ms or more of digital silence inside the recording; CPU is the share of one
# core that the display and the sound server used meanwhile. With DRIVER=pipewire the display
# sees only PipeWire's own socket, not its PulseAudio service, and so plays through FluidSynth's
# PipeWire driver (FluidSynth 2.4 and later). Needs root and DISPLAY.
set -euo pipefail
assets=${1:?usage: sound_server_dropouts.sh ASSETS SECONDS LUMISCRIBE...}
seconds=${2:?usage: sound_server_dropouts.sh ASSETS SECONDS LUMISCRIBE...}
shift 2
root=$(mktemp -d)
pids=()
trap 'kill -9 "${pids[@]}" 2>/dev/null || true; rm -rf "$root"' EXIT
export XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data" XDG_RUNTIME_DIR="$root/runtime"
install_dir="$XDG_DATA_HOME/Corvanta/Lumiscribe"
mkdir -p "$XDG_CONFIG_HOME" "$install_dir" "$XDG_RUNTIME_DIR" "$root/home"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$assets"/default.jpg "$assets"/bg.jpg "$install_dir"/
{
    printf 'X:1\nT:chords\nM:4/4\nL:1/4\nQ:1/4=120\nK:C\n%%%%MIDI program 19\n'
    for bar in $(seq 200); do printf '[CEG]2[DFA]2|'; done
    printf '\n'
} >"$root/1.abc"
abc2midi "$root/1.abc" -o "$install_dir/1.mid" >/dev/null
printf '"%s"\r\n' "$install_dir/default.jpg" >"$install_dir/List.txt"
printf '[Config]\nSetReg=2\nBG=1\nDelay=300\nMusic=1\n' >"$XDG_CONFIG_HOME/Lumiscribe.ini"
chown -R nobody "$root"
chmod 755 "$root"
bus=""
as_nobody() {
    exec setpriv --reuid=nobody --regid=nogroup --clear-groups -- env HOME="$root/home" \
        DISPLAY="$DISPLAY" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_DATA_HOME="$XDG_DATA_HOME" \
        XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" DBUS_SESSION_BUS_ADDRESS="$bus" "$@"
}
as_nobody dbus-daemon --session --nofork --print-address=3 3>"$root/bus" &
pids+=($!)
until [ -s "$root/bus" ]; do sleep 0.2; done
bus=$(head -n 1 "$root/bus")
server=()
case ${SOUND_SERVER:-pipewire} in
pipewire) programs=(pipewire wireplumber pipewire-pulse) ;;
pulseaudio) programs=("pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit") ;;
*) echo "SOUND_SERVER is pipewire or pulseaudio" >&2; exit 2 ;;
esac
for program in "${programs[@]}"; do
    # shellcheck disable=SC2086  # a program with its options
    as_nobody $program >>"$root/server.log" 2>&1 &
    pids+=($!)
    server+=($!)
    # The session manager and the PulseAudio service give up when PipeWire does not answer yet.
    if [ "$program" = pipewire ]; then
        until (as_nobody timeout 20 pw-cli info 0 >/dev/null 2>&1); do sleep 0.5; done
    fi
done
until (as_nobody pactl info >/dev/null 2>&1); do sleep 0.5; done
(as_nobody pactl load-module module-null-sink sink_name=lumi_sink >/dev/null)
(as_nobody pactl set-default-sink lumi_sink)

ticks() {  # user + system clock ticks of the given processes
    local total=0 pid
    for pid in "$@"; do
        total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat")))
    done
    echo "$total"
}
# The runtime folder that the display sees.
display_runtime=$XDG_RUNTIME_DIR
case ${DRIVER:-pulseaudio} in
pulseaudio) ;;
pipewire)
    display_runtime="$root/display-runtime"
    mkdir -p "$display_runtime"
    ln -s "$XDG_RUNTIME_DIR/pipewire-0" "$display_runtime/pipewire-0"
    chown -R nobody "$display_runtime"
    chmod 700 "$display_runtime"
    ;;
*) echo "DRIVER is pulseaudio or pipewire" >&2; exit 2 ;;
esac
printf '%-50s %8s %10s %10s %10s\n' build dropouts sounding "display %" "server %"
for binary in "$@"; do
    rm -f "$display_runtime/lumiscribe"/* 2>/dev/null || true
    XDG_RUNTIME_DIR=$display_runtime as_nobody "$binary" /s >/dev/null 2>"$root/display.err" &
    display=$!
    pids+=($display)
    sleep 8  # the window, the SoundFont and the first tune
    before_display=$(ticks "$display")
    before_server=$(ticks "${server[@]}")
    (as_nobody timeout $((seconds + 20)) parec -d lumi_sink.monitor --raw --format=s16le \
        --rate=44100 --channels=2 2>/dev/null) | head -c $((seconds * 176400)) >"$root/take.raw" || true
    display_cpu=$(( ($(ticks "$display") - before_display) * 100 ))
    server_cpu=$(( ($(ticks "${server[@]}") - before_server) * 100 ))
    hz=$(getconf CLK_TCK)
    # Runs of 44 or more frames (1 ms) whose both samples are exactly 0, after the first sound;
    # and the share of the recording that sounds, so that a take without music shows.
    read -r dropouts sounding < <(od -An -v -t d2 -w4 "$root/take.raw" | awk '
        { frames++; silent = ($1 == 0 && $2 == 0) }
        !silent { started = 1; sounding++; if (run >= 44) count++; run = 0; next }
        started { run++ }
        END { printf "%d %.0f\n", count, frames ? 100 * sounding / frames : 0 }')
    printf '%-50s %8s %9s%% %10.1f %10.1f\n' "$binary" "$dropouts" "$sounding" \
        "$(awk "BEGIN { print $display_cpu / $hz / $seconds }")" \
        "$(awk "BEGIN { print $server_cpu / $hz / $seconds }")"
    # PipeWire's own view: each node's quantum (frames per cycle) and rate, and its errors.
    [ -z "${PW_TOP:-}" ] || (as_nobody timeout 20 pw-top -b -n 2) >&2 || true
    kill "$display" 2>/dev/null || true
    wait "$display" 2>/dev/null || true
    # What the display said about its sound, when the take has none.
    [ "$sounding" != 0 ] || sed 's/^/    /' "$root/display.err" >&2
done
