#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the build and the tests need and runs every test, in three stages:
#   1. build/: the program as it ships; every test under CTest: the unit tests on Qt's
#      offscreen platform, the end-to-end tests of the real binary in an Xvfb server that this
#      script starts and stops, and in headless Wayland compositors that the tests start;
#   2. build-asan/: the same build and tests with AddressSanitizer and
#      UndefinedBehaviorSanitizer, in an Xvfb server of their own; leaks inside system
#      libraries are suppressed by tools/lsan.supp;
#   3. tools/fuzz.sh: every fuzz target for 30 s from its seed corpus.
# Every stage runs and prints its wall time; the script fails when any stage failed.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh

install_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" timgm6mb-soundfont xvfb xauth \
    xdotool imagemagick x11-utils x11-xserver-utils procps desktop-file-utils libxml2-utils \
    dpkg-dev file xscreensaver openbox
# The tests in a Wayland session: a headless compositor, its screenshots and keys, Qt's
# wayland platform, and the client library of the tests' pointer.
install_packages sway grim wtype qt6-wayland libwayland-dev
# The idle starter's tests: compositors and services that run headless, and a session bus.
install_packages kwin-wayland mutter dbus-daemon dbus-bin
# The music through a real sound server: PipeWire with its PulseAudio service, the PulseAudio
# tools that load a null sink and record it, and sox to measure the recordings.
install_packages pipewire pipewire-pulse wireplumber pulseaudio-utils sox

work=$(mktemp -d)
xvfb_pid=
stop_x_server() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=
    fi
}
trap 'stop_x_server; rm -rf "$work"' EXIT

# Starts a private Xvfb for the end-to-end tests and points DISPLAY at it. The server picks a
# free display number itself and writes it once it accepts clients, so the tests can never
# meet another server that happened to use the same number.
start_x_server() {
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
        if [ -s "$work/display" ]; then
            export DISPLAY=":$(head -n 1 "$work/display")"
            return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    return 1
}

# Runs CTest in build folder $1 inside a fresh X server, with the environment variables given
# as further arguments (NAME=value).
run_tests() {
    start_x_server || return 1
    local status=0
    env "${@:2}" ctest --test-dir "$1" --output-on-failure --timeout 300 -j2 || status=$?
    stop_x_server
    return "$status"
}

stage_build() {
    build_project && run_tests build
}

# The sanitizers write every report into a file of the reports folder, named after the
# program and its process, and a sanitizer that reports ends its program with a failure. A
# report from a program whose end no test looks at (a helper, a process that a test leaves
# behind) thus still fails the stage. The same options hold while building, because the build
# runs a program of the project to paint the preview still.
reports="$PWD/build-asan/sanitizer-reports"
sanitizer_options=(
    ASAN_OPTIONS="detect_stack_use_after_return=1:log_path=$reports/report:log_exe_name=1"
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/report:log_exe_name=1"
    LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
)
stage_sanitizers() {
    local status=0
    # World-writable: the XScreenSaver test runs the saver as another user.
    rm -rf "$reports" && mkdir -p "$reports" && chmod 1777 "$reports" || return 1
    cmake -G Ninja -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMI_SANITIZE=ON &&
        env "${sanitizer_options[@]}" ninja -C build-asan &&
        run_tests build-asan "${sanitizer_options[@]}" || status=1
    local report
    for report in "$reports"/*; do
        [ -e "$report" ] || continue
        echo "=== Sanitizer report ${report##*/}" >&2
        cat "$report" >&2
        status=1
    done
    return "$status"
}

stage_fuzz() {
    tools/fuzz.sh 30
}

failed=()
for stage in build sanitizers fuzz; do
    started=$SECONDS
    echo "=== Stage $stage"
    # A stage chains its steps with && itself: `set -e` does not act inside an if.
    if ! "stage_$stage"; then
        failed+=("$stage")
    fi
    echo "=== Stage $stage took $((SECONDS - started)) s"
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Failed stages: ${failed[*]}" >&2
    exit 1
fi
