#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Lumiscribe needs and is missing, builds its programs and shipped files (not
# the tests and benchmarks) into build/, installs the shipped pictures and tunes into the
# install folder where they are missing, and starts the screen saver with the given switch:
# /s (the default) full screen, /c the Setup dialog, /a the password.
#
# Run through sudo (or as root with SUDO_USER set), it installs packages as root but builds,
# installs the shipped files and runs the screen saver as the user who called it, so that the
# settings and the picture list land in that user's home.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh

# The user the screen saver runs as: the caller of sudo, or whoever runs this script.
caller=
if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ] &&
    id -u "$SUDO_USER" >/dev/null 2>&1; then
    caller=$SUDO_USER
fi

# The variables of the caller's session that the screen saver needs: its display (X11 or
# Wayland), the kind of session, and the folders of its settings and data.
session_variables=(DISPLAY XAUTHORITY WAYLAND_DISPLAY XDG_SESSION_TYPE XDG_RUNTIME_DIR
    XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME QT_QPA_PLATFORM QT_SCALE_FACTOR
    LANG LC_ALL LC_TIME)

# Prints the caller's value of variable $1 (empty when the caller has none). sudo keeps only a
# few variables (DISPLAY and XAUTHORITY among them, WAYLAND_DISPLAY and the XDG_ ones not), so
# a value that this script lacks is read from the environment of the nearest process above
# it that belongs to the caller: the shell that ran sudo.
caller_value() {
    if [ -n "${!1:-}" ]; then
        printf '%s' "${!1}"
        return
    fi
    [ -n "$caller_environ" ] || return 0
    tr '\0' '\n' <"$caller_environ" | sed -n "s/^$1=//p" | head -n 1
}
caller_environ=
if [ -n "$caller" ]; then
    caller_uid=$(id -u "$caller")
    pid=$$
    while [ "$pid" -gt 1 ]; do
        pid=$(ps -o ppid= -p "$pid" | tr -d ' ')
        [ -n "$pid" ] || break
        if [ "$(stat -c %u "/proc/$pid" 2>/dev/null)" = "$caller_uid" ] && [ -r "/proc/$pid/environ" ]; then
            caller_environ=/proc/$pid/environ
            break
        fi
    done
fi

# Runs a command as the caller, in the caller's home, with the variables of the caller's
# session; with --exec first, in place of this script.
as_caller() {
    local run=()
    if [ "$1" = --exec ]; then
        run=(exec)
        shift
    fi
    if [ -z "$caller" ]; then
        "${run[@]}" "$@"
        return
    fi
    local home uid
    home=$(getent passwd "$caller" | cut -d: -f6)
    uid=$(id -u "$caller")
    local environment=(HOME="$home" USER="$caller" LOGNAME="$caller" PATH=/usr/local/bin:/usr/bin:/bin)
    local name value
    for name in "${session_variables[@]}"; do
        value=$(caller_value "$name")
        [ -n "$value" ] && environment+=("$name=$value")
    done
    if [ -z "$(caller_value XDG_RUNTIME_DIR)" ] && [ -d "/run/user/$uid" ]; then
        environment+=(XDG_RUNTIME_DIR="/run/user/$uid")
    fi
    "${run[@]}" runuser -u "$caller" -- env -i "${environment[@]}" "$@"
}

# Any General MIDI SoundFont that Debian installs where FluidSynth looks will do; the small
# one is installed only when there is none.
soundfont=timgm6mb-soundfont
for installed in timgm6mb-soundfont fluid-soundfont-gm; do
    if dpkg-query -W -f='${Status}' "$installed" 2>/dev/null | grep -q "ok installed"; then
        soundfont=$installed
    fi
done
install_packages "${BUILD_PACKAGES[@]}" "$soundfont" qt6-wayland

# The caller builds when the checkout is theirs to write, so that build/ stays theirs.
builder=as_caller
if [ -n "$caller" ] && ! as_caller test -w . ; then
    builder=
fi
$builder cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
$builder ninja -C build lumiscribe lumiscribe-xscreensaver lumiscribe-idle lumi_tunes \
    lumi_pictures

# A file already in the install folder is the user's: never overwrite it.
as_caller bash -c '
    install_dir="${XDG_DATA_HOME:-$HOME/.local/share}/Corvanta/Lumiscribe"
    mkdir -p "$install_dir"
    for file in build/assets/*.mid build/assets/default.jpg build/assets/bg.jpg; do
        [ -e "$install_dir/$(basename "$file")" ] || cp "$file" "$install_dir/"
    done'

as_caller --exec build/src/lumiscribe "${1:-/s}"
