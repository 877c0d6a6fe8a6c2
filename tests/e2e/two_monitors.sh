#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/s" on a desktop of two monitors covers both: the display on the primary (left) one, and
# over the other, where a window was open, a window in the background colour, or showing the
# background picture. Mouse movement there does nothing; a click there ends the screen saver
# as a click on the display does.
#
# The test runs in an X server of its own, 3840 x 1080, split into two monitors of
# 1920 x 1080 with `xrandr --setmonitor`. The server must not reset when its last client
# leaves (-noreset), or it would forget the monitors as soon as xrandr ends.
source "$(dirname "$0")/lib.sh"
install_assets
command -v xrandr >/dev/null || fail "xrandr (x11-xserver-utils) is not installed"

# Starts Xvfb with the given arguments on a free display number and points DISPLAY at it.
start_own_x_server() {
    local attempt number pid
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        number=$((300 + RANDOM % 600))
        [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" "$@" -nolisten tcp >"$E2E_ROOT/xvfb.log" 2>&1 &
        pid=$!
        E2E_PIDS+=("$pid")
        disown "$pid"
        local deadline=$(e2e_deadline 10)
        while [ $SECONDS -lt $deadline ] && is_running "$pid"; do
            if xdpyinfo -display ":$number" >/dev/null 2>&1; then
                export DISPLAY=":$number"
                return 0
            fi
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true  # the number was taken meanwhile: another one
    done
    cat "$E2E_ROOT/xvfb.log" >&2
    fail "no X server of our own started"
}

start_own_x_server -noreset -screen 0 3840x1080x24
xrandr --setmonitor '*left' 1920/508x1080/286+0+0 screen >/dev/null
xrandr --setmonitor right 1920/508x1080/286+1920+0 none >/dev/null
xrandr --listmonitors | grep -q '^Monitors: 2$' || fail "the screen is not split: $(xrandr --listmonitors)"
xsetroot -solid '#00ff00'
start_window_manager

# A window open on the right-hand monitor, filled with magenta.
"$LUMI_HOST_WINDOW" "Open window" 1920 1080 >"$E2E_ROOT/other.out" 2>&1 &
E2E_PIDS+=("$!")
other=$(wait_for_window "Open window") || fail "the other window did not appear"
/usr/bin/convert -size 1920x1080 xc:magenta PNG24:"$E2E_ROOT/magenta.png"
# Moved again should the window manager still be placing it.
for _ in 1 2 3; do
    xdotool windowmove "$other" 1920 0
    wait_for_screen_area "$E2E_ROOT/magenta.png" 1920x1080+1920+0 3 && break
done || fail "the other window does not fill the right-hand monitor"

picture="$E2E_ROOT/a.png"
/usr/bin/convert -size 301x201 -depth 8 gradient:red-blue -fill yellow -draw "circle 150,100 150,40" \
    PNG24:"$picture"
/usr/bin/convert "$picture" -crop 300x200+0+0 +repage "$picture.canvas.png"
write_list "$picture"
# MouseSen 1: the first movement over the display would end it.
write_settings SetReg=2 BG=0 Delay=60 Music=0 MouseSen=1 Calendar=0
/usr/bin/convert -size 1920x1080 xc:white PNG24:"$E2E_ROOT/white.png"

xdotool mousemove 2880 540
start_lumiscribe /s
wait_for_window Lumiscribe >/dev/null || fail "no display window appeared"

# The left-hand monitor: the picture centred on it, on the white background.
wait_for_screen_area "$picture.canvas.png" 300x200+810+440 ||
    fail "the picture is not painted at the centre of the left-hand monitor"
for point in "0 0" "1919 0" "0 1079" "1919 1079"; do
    # shellcheck disable=SC2086
    [ "$(pixel "$E2E_ROOT/screen.png" $point)" = "255,255,255" ] ||
        fail "the left-hand monitor is not the display's background at $point"
done
# The right-hand monitor: white all over, the magenta window and the desktop hidden.
wait_for_screen_area "$E2E_ROOT/white.png" 1920x1080+1920+0 10 ||
    fail "the right-hand monitor is not covered in the background colour:" \
        "$(/usr/bin/convert "$E2E_ROOT/area.png" -format %c histogram:info: | sort -rn | head -n 3)"
pass "both monitors covered in the background colour"

xdotool mousemove 2900 600 sleep 0.2 mousemove 3100 800 sleep 0.2 mousemove 2880 540
sleep 1
is_running "$LAST_PID" || fail "mouse movement over the right-hand monitor ended the screen saver"
xdotool click 1
wait_for_exit "$LAST_PID" 5 || fail "a click on the right-hand monitor did not end the screen saver"
[ "$(cat "$STATE_DIR/screensaver-running")" = 0 ] || fail "still marked as a running screen saver"
wait_for_screen_area "$E2E_ROOT/magenta.png" 1920x1080+1920+0 5 ||
    fail "the other window does not show again after the end"
pass "a click on the right-hand monitor ends the screen saver"

# The background picture: from the top-left corner of the cover, black beyond it.
/usr/bin/convert -size 500x300 -depth 8 gradient:cyan-orange PNG24:"$E2E_ROOT/back.png"
/usr/bin/convert "$E2E_ROOT/back.png" -background black -extent 1920x1080 PNG24:"$E2E_ROOT/covered.png"
write_settings SetReg=2 BG=3 "BGFile=$E2E_ROOT/back.png" Delay=60 Music=0 MouseSen=1 Calendar=0
start_lumiscribe /s
wait_for_window Lumiscribe >/dev/null || fail "no display window appeared"
wait_for_screen_area "$E2E_ROOT/covered.png" 1920x1080+1920+0 ||
    fail "the right-hand monitor does not show the background picture"
pass "the background picture on the right-hand monitor"
