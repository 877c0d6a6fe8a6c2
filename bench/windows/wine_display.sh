#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Timings of lumiscribe.scr "/s" under Wine in an Xvfb server of its own (1024x768, black root),
# each the median of 5 runs:
#  - key to process gone: after a small picture is painted, the time from an xdotool key to
#    the end of the process, beside the same for the Linux edition in the same X server;
#  - first beam: the time from the start to the first change of the screen's centre pixel with
#    a 1920x1080 photo, beside bare_first_beam.exe, which only decodes the same file with WIC
#    and shows a full-screen window of the centre pixel's colour. The centre pixel is read with
#    XGetImage by the native helper centre_watch.c, about every 0.2 ms;
#  - Setup dialog shown: the time from the start of "/c" with a list of 200 pictures to its
#    window "Lumiscribe Screensaver" being mapped, beside the Linux edition's "/c" and beside an
#    empty Win32 window of the same title (the end-to-end tests' host_window.exe), which is what
#    starting any program costs under Wine.
# Run after tools/windows.sh has built build-windows/, from the worktree's root:
#
#   bench/windows/wine_display.sh [path/to/linux/lumiscribe]
#
# The Linux edition defaults to build/src/lumiscribe. Wine runs in a scratch prefix, with one
# wineserver kept up for all runs, so that no run pays for the prefix's start.
set -euo pipefail
unset WAYLAND_DISPLAY
cd "$(dirname "$0")/../.."
SCR=$PWD/build-windows/src/windows/lumiscribe.scr
HOST_WINDOW=$PWD/build-windows/tests/windows/lumi_e2e_host_window.exe
LINUX_PROGRAM=$(realpath "${1:-build/src/lumiscribe}")
WINE=$(sed -n 's/^LUMI_WINE:FILEPATH=//p' build-windows/CMakeCache.txt)
WINESERVER=$(dirname "$WINE")/wineserver
[ -x "$WINESERVER" ] || WINESERVER=wineserver
RUNS=5

scratch=$(mktemp -d)
xvfb=
finish() {
    "$WINESERVER" -k 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$scratch"
}
trap finish EXIT
export HOME=$scratch TMPDIR=$scratch WINEPREFIX=$scratch/prefix WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml="
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data XDG_RUNTIME_DIR=$scratch/run
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/Corvanta/Lumiscribe" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

until_true() {
    local deadline=$((SECONDS + 60))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || { echo "wine_display.sh: gave up on: $*" >&2; exit 1; }
        sleep 0.05
    done
}
running() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null || true)
    [ -n "$state" ] && [ "${state:0:1}" != Z ]
}
gone() { ! running "$1"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
centre_is() {
    [ "$(import -window root -crop 1x1+512+384 -depth 8 -format '%[hex:p{0,0}]' info:)" = "$1" ]
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -br -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb=$!
until_true test -s "$scratch/display"
export DISPLAY=":$(head -n 1 "$scratch/display")"

"$WINE" wineboot -i >"$scratch/wine.log" 2>&1
"$WINESERVER" -w
"$WINESERVER" -p
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$scratch/wine.log" 2>&1
KEY='HKCU\Software\VB and VBA Program Settings\Lumiscribe\Config'
WIN_INSTALL=$WINEPREFIX/drive_c/Corvanta/Lumiscribe
LINUX_INSTALL=$XDG_DATA_HOME/Corvanta/Lumiscribe
mkdir -p "$WIN_INSTALL"
for setting in SetReg=2 BG=1 Delay=300 Music=0 Calendar=0 MouseSen=0; do
    "$WINE" reg add "$KEY" /v "${setting%%=*}" /d "${setting#*=}" /f >>"$scratch/wine.log" 2>&1
done
printf '[Config]\nSetReg=2\nBG=1\nDelay=300\nMusic=0\nCalendar=0\nMouseSen=0\n' \
    >"$XDG_CONFIG_HOME/Lumiscribe.ini"

cc -O2 -o "$scratch/centre_watch" bench/windows/centre_watch.c -lX11
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -municode -mwindows -static \
    -o "$scratch/bare_first_beam.exe" bench/windows/bare_first_beam.cpp -lwindowscodecs -lole32

# Key to process gone: a 200x150 red picture, painted, then a key.
convert -size 200x150 xc:red "$WIN_INSTALL/small.png"
cp "$WIN_INSTALL/small.png" "$LINUX_INSTALL/small.png"
printf '"C:\\Corvanta\\Lumiscribe\\small.png"\r\n' >"$WIN_INSTALL/List.txt"
printf '"%s"\r\n' "$LINUX_INSTALL/small.png" >"$LINUX_INSTALL/List.txt"
key_to_gone() {
    local run pid start
    for run in $(seq "$RUNS"); do
        "$@" >>"$scratch/run.log" 2>&1 &
        pid=$!
        until_true centre_is FF0000
        # The canvas' last pixel: the painting has ended.
        until_true eval '[ "$(import -window root -crop 1x1+610+457 -depth 8 \
            -format "%[hex:p{0,0}]" info:)" = FF0000 ]'
        start=$(now_ms)
        xdotool key x
        while running "$pid"; do sleep 0.002; done
        echo $(($(now_ms) - start))
        wait "$pid" || true
        until_true centre_is 000000
    done | median
}
windows_key=$(key_to_gone "$WINE" "$SCR" /s)
linux_key=$(key_to_gone "$LINUX_PROGRAM" /s)

# First beam: a 1920x1080 photo-like JPEG.
photo=$WIN_INSTALL/photo.jpg
if [ -d /usr/share/backgrounds/mate ] && ls /usr/share/backgrounds/mate/*/*.jpg >/dev/null 2>&1; then
    cp "$(ls /usr/share/backgrounds/mate/*/*.jpg | head -n 1)" "$photo"
else
    convert -size 1920x1080 -seed 3 plasma:fractal -quality 90 "$photo"
fi
printf '"C:\\Corvanta\\Lumiscribe\\photo.jpg"\r\n' >"$WIN_INSTALL/List.txt"
first_change() {
    local run result
    for run in $(seq "$RUNS"); do
        result=$("$scratch/centre_watch" 60 "$@" 2>>"$scratch/run.log") ||
            { echo "wine_display.sh: no change at the centre: $*" >&2; exit 1; }
        # A click ends either program; one that comes while the display is still busy with
        # its first painting may be dropped, so the clicks repeat until the process is gone.
        xdotool mousemove 512 384
        until_true eval 'xdotool click 1; sleep 0.2; gone "${result#* }"'
        until_true centre_is 000000
        echo "${result% *}"
    done | median
}
display_beam=$(first_change "$WINE" "$SCR" /s)
bare_beam=$(first_change "$WINE" "$scratch/bare_first_beam.exe" 'C:\Corvanta\Lumiscribe\photo.jpg')

# Setup dialog shown: 200 entries in each list.
for number in $(seq 200); do printf '"C:\\Pictures\\photo %03d.jpg"\r\n' "$number"; done \
    >"$WIN_INSTALL/List.txt"
for number in $(seq 200); do printf '"/home/you/Pictures/photo %03d.jpg"\r\n' "$number"; done \
    >"$LINUX_INSTALL/List.txt"
dialog_shown() {
    local run pid start
    for run in $(seq "$RUNS"); do
        start=$(now_ms)
        "$@" >>"$scratch/run.log" 2>&1 &
        pid=$!
        until xdotool search --onlyvisible --name '^Lumiscribe Screensaver$' >/dev/null 2>&1; do
            running "$pid" || { echo "wine_display.sh: no Setup dialog: $*" >&2; exit 1; }
        done
        echo $(($(now_ms) - start))
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        until_true eval '! xdotool search --onlyvisible --name "^Lumiscribe Screensaver$" >/dev/null 2>&1'
    done | median
}
windows_setup=$(dialog_shown "$WINE" "$SCR" /c)
linux_setup=$(dialog_shown "$LINUX_PROGRAM" /c)
# What any program pays under Wine: an empty window of the same title and size.
empty_window=$(dialog_shown "$WINE" "$HOST_WINDOW" host "Lumiscribe Screensaver" 604 455 \
    'C:\never-there')

printf '%-34s %12s %12s %8s\n' "median of $RUNS, ms" "Windows" "reference" "ratio"
printf '%-34s %12s %12s %8s\n' "key to process gone (vs Linux)" "$windows_key" "$linux_key" \
    "$(awk -v a="$windows_key" -v b="$linux_key" 'BEGIN {printf "%.2f", a / b}')"
printf '%-34s %12s %12s %8s\n' "first beam (vs bare WIC + window)" "$display_beam" "$bare_beam" \
    "$(awk -v a="$display_beam" -v b="$bare_beam" 'BEGIN {printf "%.2f", a / b}')"
printf '%-34s %12s %12s %8s\n' "Setup dialog shown (vs Linux)" "$windows_setup" "$linux_setup" \
    "$(awk -v a="$windows_setup" -v b="$linux_setup" 'BEGIN {printf "%.2f", a / b}')"
printf '%-34s %12s %12s %8s\n' "Setup dialog (vs an empty window)" "$windows_setup" "$empty_window" \
    "$(awk -v a="$windows_setup" -v b="$empty_window" 'BEGIN {printf "%.2f", a / b}')"
