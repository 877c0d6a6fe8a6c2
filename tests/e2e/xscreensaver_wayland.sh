#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# XScreenSaver in a Wayland session: the daemon runs on the compositor's XWayland, started by
# the session as a desktop session starts it, and so its saver has both DISPLAY and
# WAYLAND_DISPLAY. Activated, lumiscribe-xscreensaver paints the picture into the daemon's X
# window, exact on the Wayland output; lumiscribe-idle, started in the same session, leaves
# the savers to the daemon and starts nothing.
source "$(dirname "$0")/wayland_lib.sh"
command -v xscreensaver >/dev/null || fail "the xscreensaver package is not installed"

mkdir -p "$E2E_ROOT/home" "$INSTALL_DIR"
saver=$(wayland_program "$LUMI_XSCREENSAVER")
/usr/bin/convert -size 320x240 -depth 8 gradient:gold-navy -fill white \
    -draw "rectangle 100,60 220,180" PNG24:"$INSTALL_DIR/picture.png"
/usr/bin/convert "$INSTALL_DIR/picture.png" -crop 319x239+0+0 +repage "$E2E_ROOT/canvas.png"
write_list "$INSTALL_DIR/picture.png"
write_settings SetReg=2 BG=1 Delay=300 Music=0
cat >"$E2E_ROOT/home/.xscreensaver" <<CONFIG
mode: one
selected: 0
timeout: 0:30:00
lock: False
fade: False
unfade: False
splash: False
programs: "Lumiscribe" $saver -root \n
CONFIG

WAYLAND_XWAYLAND=1
WAYLAND_CONFIG_EXTRA=("exec xscreensaver -no-splash >$E2E_ROOT/daemon.log 2>&1")
wayland_start

deadline=$(e2e_deadline 300)
until wayland_run xscreensaver-command -version >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || fail "the daemon did not start: $(cat "$E2E_ROOT/daemon.log")"
    sleep 0.5
done
trap 'wayland_run xscreensaver-command -exit >/dev/null 2>&1 || true; cleanup' EXIT

idle=$(wayland_program "$LUMI_IDLE")
wayland_run "$idle" --after 2 >"$E2E_ROOT/idle.log" 2>&1 && fail "lumiscribe-idle ran beside the daemon"
grep -qx "lumiscribe-idle: no idle source: XScreenSaver runs on the X display $WAYLAND_X_DISPLAY and starts the savers" \
    "$E2E_ROOT/idle.log" || fail "lumiscribe-idle did not leave the savers to the daemon: $(cat "$E2E_ROOT/idle.log")"
pass "lumiscribe-idle starts nothing beside the daemon"

wayland_run xscreensaver-command -activate >/dev/null
wait_for_screen_area "$E2E_ROOT/canvas.png" "319x239+352+264" 300 ||
    fail "the saver did not paint the picture on the Wayland output: $(tail -5 "$E2E_ROOT/daemon.log")"
pgrep -f "$saver" >/dev/null || fail "no saver process"
pass "the saver paints on the Wayland output through XWayland"

wayland_run xscreensaver-command -deactivate >/dev/null
deadline=$(e2e_deadline 300)
while pgrep -f "$saver" >/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "the saver outlived the deactivation"
    sleep 0.2
done
pass "xscreensaver under Wayland"
