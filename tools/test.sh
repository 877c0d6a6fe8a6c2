#!/usr/bin/env bash
# Installs what the build and the tests need, builds into build/, and runs every test
# under CTest: the unit tests on Qt's offscreen platform, the end-to-end tests of the real
# binary in an Xvfb server that this script starts and stops.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh

install_packages "${BUILD_PACKAGES[@]}" timgm6mb-soundfont xvfb xauth xdotool imagemagick x11-utils \
    x11-xserver-utils procps desktop-file-utils libxml2-utils dpkg-dev file \
    xscreensaver openbox
# The tests in a Wayland session: a headless compositor, its screenshots and keys, Qt's
# wayland platform, and the client library of the tests' pointer.
install_packages sway grim wtype qt6-wayland libwayland-dev
# The idle starter's tests: compositors and services that run headless, and a session bus.
install_packages kwin-wayland mutter dbus-daemon dbus-bin
build_project

# A private X server for the end-to-end tests.
display_number=$((90 + RANDOM % 100))
Xvfb ":$display_number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
export DISPLAY=":$display_number"
for _ in $(seq 1 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done

ctest --test-dir build --output-on-failure --timeout 300 -j2
