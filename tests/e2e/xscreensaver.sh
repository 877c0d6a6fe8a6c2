#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real XScreenSaver daemon, with lumiscribe-xscreensaver as its only program: activating
# it brings up the laser-painted picture, deactivating it ends the saver. The daemon starts
# no saver as root, so it runs as the unprivileged user "nobody" with a home of its own.
source "$(dirname "$0")/lib.sh"
command -v xscreensaver >/dev/null || fail "the xscreensaver package is not installed"

chmod 755 "$E2E_ROOT"
saver_home="$E2E_ROOT/home"
mkdir -p "$saver_home" "$E2E_ROOT/bin" "$INSTALL_DIR"
cp "$LUMI_XSCREENSAVER" "$E2E_ROOT/bin/lumiscribe-xscreensaver"
/usr/bin/convert -size 320x240 -depth 8 gradient:gold-navy -fill white \
    -draw "rectangle 100,60 220,180" PNG24:"$INSTALL_DIR/picture.png"
write_list "$INSTALL_DIR/picture.png"
write_settings SetReg=2 BG=1 Delay=300 Music=0
cat >"$saver_home/.xscreensaver" <<CONFIG
mode: one
selected: 0
timeout: 0:30:00
lock: False
fade: False
unfade: False
splash: False
programs: "Lumiscribe" $E2E_ROOT/bin/lumiscribe-xscreensaver -root \n
CONFIG
chown -R nobody "$E2E_ROOT"
chmod -R a+rX "$E2E_ROOT"
chmod 700 "$XDG_RUNTIME_DIR"

as_nobody() {
    runuser -u nobody -- env HOME="$saver_home" DISPLAY="$DISPLAY" \
        XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_DATA_HOME="$XDG_DATA_HOME" \
        XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" "$@"
}
saver_running() {
    pgrep -f "$E2E_ROOT/bin/lumiscribe-xscreensaver" >/dev/null
}

as_nobody xscreensaver -no-splash >"$E2E_ROOT/daemon.log" 2>&1 &
E2E_PIDS+=($!)
trap 'as_nobody xscreensaver-command -exit >/dev/null 2>&1 || true; cleanup' EXIT
deadline=$(e2e_deadline 30)  # the daemon starts slowly on a busy machine
until as_nobody xscreensaver-command -version >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || fail "the daemon did not start: $(cat "$E2E_ROOT/daemon.log")"
    sleep 0.3
done

as_nobody xscreensaver-command -activate >/dev/null
/usr/bin/convert "$INSTALL_DIR/picture.png" -crop 319x239+0+0 +repage "$E2E_ROOT/canvas.png"
wait_for_screen_area "$E2E_ROOT/canvas.png" "319x239+352+264" 30 ||
    fail "the saver did not paint the picture: $(tail -5 "$E2E_ROOT/daemon.log")"
saver_running || fail "no saver process"

as_nobody xscreensaver-command -deactivate >/dev/null
deadline=$(e2e_deadline 10)
while saver_running; do
    [ $SECONDS -lt $deadline ] || fail "the saver outlived the deactivation"
    sleep 0.2
done
pass "xscreensaver"
